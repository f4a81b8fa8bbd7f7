#pragma once
// What the main window asks of the desktop: questions and messages to the user, and starting
// other programs. Tests replace both.

#include <QString>
#include <QUrl>

#include <filesystem>

#include "core/language.h"
#include "core/result.h"

class QWidget;

namespace tessaron::app {

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // An OK/Cancel question; true on OK.
    virtual bool confirm(QWidget* parent, const QString& caption, const QString& question) = 0;
    virtual void inform(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A question between two named answers; true for the first.
    virtual bool choose(QWidget* parent, const QString& caption, const QString& question,
                        const QString& first, const QString& second) {
        (void)first;
        (void)second;
        return confirm(parent, caption, question);
    }
};

class MessageBoxDialogs final : public UserDialogs {
public:
    explicit MessageBoxDialogs(Language lang) : lang_(lang) {}
    bool confirm(QWidget* parent, const QString& caption, const QString& question) override;
    void inform(QWidget* parent, const QString& caption, const QString& text) override;
    bool choose(QWidget* parent, const QString& caption, const QString& question,
                const QString& first, const QString& second) override;

private:
    Language lang_;
};

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts the program detached, without waiting for it.
    virtual Status startProgram(const std::filesystem::path& program) = 0;
    // Opens the address with the desktop's default browser.
    virtual Status openUrl(const QUrl& url) = 0;
};

class DesktopProgramStarter final : public ProgramStarter {
public:
    Status startProgram(const std::filesystem::path& program) override;
    Status openUrl(const QUrl& url) override;
};

}  // namespace tessaron::app
