#include <gtest/gtest.h>

#include <QDialog>
#include <QPainter>
#include <QTest>

#include <functional>
#include <vector>

#include "message_recorder.h"
#include "ui/edit_helper.h"
#include "ui/resource_bitmaps.h"
#include "ui/transparent_list_box.h"

namespace tessaron::ui {
namespace {

using test::Recorded;

// What the list tells, recorded by its signals.
constexpr int kBeginsSignal = 1;
constexpr int kDelaySignal = 2;
constexpr int kMovedSignal = 3;
constexpr int kChangedSignal = 4;
const Recorded kBegins{kBeginsSignal, 0, 0, {}};

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        list_ = new CTransparentListBox(&parent_);  // owned by parent_
        const auto told = [this](Recorded r) {
            told_.push_back(r);
            if (onTold_) onTold_(told_.back());
        };
        QObject::connect(list_, &CTransparentListBox::editBegins,
                         [told] { told({kBeginsSignal, 0, 0, {}}); });
        QObject::connect(list_, &CTransparentListBox::delayEdited,
                         [told](int i, int v) { told({kDelaySignal, i, v, {}}); });
        QObject::connect(list_, &CTransparentListBox::nameMoved,
                         [told](int from, int to) { told({kMovedSignal, from, to, {}}); });
        QObject::connect(list_, &CTransparentListBox::itemTextChanged,
                         [told](int i, const QString& old) { told({kChangedSignal, i, 0, old}); });
        list_->setGeometry(10, 10, 113, 200);
        parent_.resize(200, 240);
        parent_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent_));
    }
    void fill(const QStringList& lines) {
        for (const QString& line : lines) list_->addString(line);
    }
    // Opens the editor by double-clicking the item, types, and ends the edit with a key.
    void editWithKeys(int index, const QString& typed, Qt::Key endKey) {
        const QRect r = list_->visualRect(list_->model()->index(index, 0));
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list_->viewport(), Qt::LeftButton, {}, r.center());
        CEditHelper* editor = list_->editor();
        ASSERT_NE(editor, nullptr);
        editor->setText(typed);
        QTest::keyClick(editor, endKey);
        EXPECT_EQ(list_->editor(), nullptr);
    }
    QWidget parent_;
    CTransparentListBox* list_ = nullptr;
    std::vector<Recorded> told_;
    std::function<void(const Recorded&)> onTold_;
};

TEST_F(ListTest, DelayEditsAreClampedAndReported) {
    list_->setEditMode(CTransparentListBox::kDelay);
    fill({QStringLiteral("A dn"), QStringLiteral("50 ms"), QStringLiteral("A up")});

    ASSERT_TRUE(list_->beginEdit(1));
    EXPECT_EQ(list_->editor()->text(), QStringLiteral("50"));  // shown without " ms"
    // The editor lies on its row alone: the rows around stay whole.
    const QRect row = list_->visualRect(list_->model()->index(1, 0));
    EXPECT_EQ(list_->editor()->geometry().top(), row.top());
    EXPECT_EQ(list_->editor()->height(), list_->itemHeight());
    list_->editor()->setText(QStringLiteral("70000"));
    emit list_->editor()->done(true);
    EXPECT_EQ(list_->itemText(1), QStringLiteral("60000 ms"));
    EXPECT_EQ(told_, (std::vector<Recorded>{kBegins, {kDelaySignal, 1, 60000, {}}}));

    told_.clear();
    editWithKeys(1, QStringLiteral("1"), Qt::Key_Return);
    EXPECT_EQ(list_->itemText(1), QStringLiteral("2 ms"));
    EXPECT_EQ(told_, (std::vector<Recorded>{kBegins, {kDelaySignal, 1, 2, {}}}));

    // Empty and non-numeric entries become 2; huge numbers do not overflow.
    EXPECT_EQ(CTransparentListBox::delayValue(QString()), 2);
    EXPECT_EQ(CTransparentListBox::delayValue(QStringLiteral("abc")), 2);
    EXPECT_EQ(CTransparentListBox::delayValue(QStringLiteral("99999999999999999999")), 60000);
    EXPECT_EQ(CTransparentListBox::delayValue(QStringLiteral("-40")), 2);
    EXPECT_EQ(CTransparentListBox::delayValue(QStringLiteral(" 300x")), 300);
}

TEST_F(ListTest, KeyLinesOfAMacroDoNotOpenTheEditor) {
    list_->setEditMode(CTransparentListBox::kDelay);
    fill({QStringLiteral("A dn"), QStringLiteral("A up")});
    const QRect r = list_->visualRect(list_->model()->index(0, 0));
    QTest::mouseClick(list_->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list_->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(list_->editor(), nullptr);
    EXPECT_FALSE(list_->beginEdit(1));
    EXPECT_TRUE(told_.empty());
}

TEST_F(ListTest, EscapeCancelsWithoutAWord) {
    list_->setNotify(true);
    fill({QStringLiteral("one"), QStringLiteral("two")});
    editWithKeys(1, QStringLiteral("changed"), Qt::Key_Escape);
    EXPECT_EQ(list_->itemText(1), QStringLiteral("two"));
    EXPECT_EQ(told_, (std::vector<Recorded>{kBegins}));
}

TEST_F(ListTest, ChangedPlainTextIsReinsertedInPlaceAndReportedWithTheOldText) {
    list_->setNotify(true);
    fill({QStringLiteral("zeta"), QStringLiteral("alpha"), QStringLiteral("mid")});
    list_->setCurrentRow(1);
    editWithKeys(1, QStringLiteral("beta"), Qt::Key_Enter);
    EXPECT_EQ(list_->itemText(1), QStringLiteral("beta"));
    EXPECT_EQ(list_->selectedIndex(), 1);
    EXPECT_EQ(list_->count(), 3);
    EXPECT_EQ(told_,
              (std::vector<Recorded>{kBegins, {kChangedSignal, 1, 0, QStringLiteral("alpha")}}));
}

TEST_F(ListTest, RenamedProfileMovesToItsSortedPlace) {
    list_->setEditMode(CTransparentListBox::kProfileName);
    list_->setSorted(true);
    fill({QStringLiteral("delta"), QStringLiteral("Alpha"), QStringLiteral("charlie")});
    ASSERT_EQ(list_->itemText(0), QStringLiteral("Alpha"));  // case-insensitive order
    list_->setCurrentRow(2);
    list_->item(2)->setData(Qt::UserRole, 42);
    editWithKeys(2, QStringLiteral("bravo"), Qt::Key_Return);
    EXPECT_EQ(list_->itemText(1), QStringLiteral("bravo"));
    EXPECT_EQ(list_->itemData(1), 42);
    EXPECT_EQ(list_->selectedIndex(), 1);
    EXPECT_EQ(told_, (std::vector<Recorded>{kBegins, {kMovedSignal, 2, 1, {}}}));

    // Committing an unchanged name sends nothing after the edit began.
    told_.clear();
    editWithKeys(1, QStringLiteral("bravo"), Qt::Key_Return);
    EXPECT_EQ(told_, (std::vector<Recorded>{kBegins}));
}

TEST_F(ListTest, LosingTheFocusCommits) {
    fill({QStringLiteral("one")});
    ASSERT_TRUE(list_->beginEdit(0));
    list_->editor()->setText(QStringLiteral("uno"));
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(list_->editor(), &out);
    EXPECT_EQ(list_->editor(), nullptr);
    EXPECT_EQ(list_->itemText(0), QStringLiteral("uno"));
}

TEST_F(ListTest, ScrollingCommitsTheOpenEdit) {
    for (int i = 0; i < 40; ++i) list_->addString(QStringLiteral("line %1").arg(i));
    ASSERT_TRUE(list_->beginEdit(0));
    list_->editor()->setText(QStringLiteral("first"));
    list_->scrollToBottom();
    EXPECT_EQ(list_->editor(), nullptr);
    EXPECT_EQ(list_->itemText(0), QStringLiteral("first"));
}

TEST_F(ListTest, AnItemRemovedDuringTheEditIsNotOverwritten) {
    list_->setEditMode(CTransparentListBox::kDelay);
    fill({QStringLiteral("10 ms"), QStringLiteral("20 ms")});
    ASSERT_TRUE(list_->beginEdit(0));
    list_->editor()->setText(QStringLiteral("500"));
    list_->clear();
    list_->addString(QStringLiteral("A dn"));
    emit list_->editor()->done(true);
    EXPECT_EQ(list_->itemText(0), QStringLiteral("A dn"));
    EXPECT_EQ(told_, (std::vector<Recorded>{kBegins}));
}

TEST_F(ListTest, AParentThatRebuildsTheListWhenToldDoesNotBreakTheCommit) {
    list_->setEditMode(CTransparentListBox::kDelay);
    fill({QStringLiteral("A dn"), QStringLiteral("10 ms"), QStringLiteral("A up")});
    onTold_ = [this](const Recorded& m) {
        if (m.message != kDelaySignal) return;
        list_->clear();
        list_->addString(QStringLiteral("rebuilt"));
    };
    ASSERT_TRUE(list_->beginEdit(1));
    list_->editor()->setText(QStringLiteral("300"));
    emit list_->editor()->done(true);
    EXPECT_EQ(list_->count(), 1);
    EXPECT_EQ(list_->itemText(0), QStringLiteral("rebuilt"));
}

TEST_F(ListTest, EnterAndEscapeInTheEditorDoNotCloseADialog) {
    QDialog dialog;
    auto* list = new CTransparentListBox(&dialog);  // owned by the dialog
    list->setGeometry(0, 0, 100, 100);
    list->addString(QStringLiteral("name"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        ASSERT_TRUE(list->beginEdit(0));
        QTest::keyClick(list->editor(), key);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(list->editor(), nullptr);
    }
}

TEST_F(ListTest, NameModeShowsTheParentsOwnPixelsOtherModesThePanePicture) {
    class Painted : public QWidget {
    protected:
        void paintEvent(QPaintEvent*) override {
            QPainter(this).fillRect(rect(), QColor(1, 99, 7));
        }
    } ground;
    auto* list = new CTransparentListBox(&ground);  // owned by ground
    list->setGeometry(5, 5, 60, 60);
    ground.resize(100, 100);
    ground.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ground));

    list->setEditMode(CTransparentListBox::kProfileName);
    list->recaptureBackground();
    list->grab();
    EXPECT_EQ(list->background().pixelColor(30, 30), QColor(1, 99, 7));

    list->setEditMode(CTransparentListBox::kPlainText);
    list->recaptureBackground();
    list->grab();
    const QImage pane = resourceBitmap(ResourceBitmap::ListBackground);
    EXPECT_EQ(list->background().pixel(30, 30),
              pane.pixel(kListBackgroundOriginX + 30, kListBackgroundOriginY + 30));
}

}  // namespace
}  // namespace tessaron::ui
