// One QApplication for all tests of a binary, made before the first test and gone before static
// destruction begins. Tests run on the offscreen platform unless the caller chose another, and
// keep decoded images and faces in a cache folder of their own, not the user's.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include <memory>

namespace {

class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        cache_ = std::make_unique<QTemporaryDir>();
        if (cache_->isValid()) qputenv("XDG_CACHE_HOME", cache_->path().toLocal8Bit());
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        app_.reset();
        cache_.reset();
    }

private:
    // QApplication keeps references to both for its whole life.
    int argc_ = 1;
    char name_[16] = "tessaron_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<QTemporaryDir> cache_;
};

// gtest takes ownership of registered environments.
[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(std::make_unique<QtEnvironment>().release());

}  // namespace
