#pragma once
// What the profiles panel asks of the person in front of it: message boxes and the two file
// choosers. Tests replace them, since a real box or chooser waits for a person.

#include <QString>

#include <filesystem>
#include <optional>

#include "core/language.h"

class QWidget;

namespace tessaron::app {

class ProfilesPrompts {
public:
    virtual ~ProfilesPrompts() = default;
    // A message with an OK button.
    virtual void inform(const QString& caption, const QString& text) = 0;
    // OK and Cancel; true for OK.
    virtual bool confirm(const QString& caption, const QString& text) = 0;
    // A file to export to, or nothing when the person cancelled.
    virtual std::optional<std::filesystem::path> chooseSaveFile(
        const std::filesystem::path& startFolder) = 0;
    // An existing file to load, or nothing when the person cancelled.
    virtual std::optional<std::filesystem::path> chooseOpenFile(
        const std::filesystem::path& startFolder) = 0;
};

// Message boxes and file dialogs owned by the given window, in its interface language.
class DialogProfilesPrompts final : public ProfilesPrompts {
public:
    DialogProfilesPrompts(QWidget* owner, Language lang) : owner_(owner), lang_(lang) {}

    void inform(const QString& caption, const QString& text) override;
    bool confirm(const QString& caption, const QString& text) override;
    std::optional<std::filesystem::path> chooseSaveFile(
        const std::filesystem::path& startFolder) override;
    std::optional<std::filesystem::path> chooseOpenFile(
        const std::filesystem::path& startFolder) override;

private:
    QWidget* owner_;
    Language lang_;
};

// The choosers' filter.
inline constexpr const char* kProfileFileFilter = "bin Files(*.bin)";

}  // namespace tessaron::app
