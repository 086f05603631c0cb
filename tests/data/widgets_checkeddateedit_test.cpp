#include "data/widgets/checkeddateedit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace tarvik;

namespace {

class KeyCatcher : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *e) override { keys << e->key(); }
};

} // namespace

TEST(CheckedDateEdit, tick_and_date_are_independent_when_set_from_code)
{
    CheckedDateEdit edit(QDate(2024, 3, 1));
    EXPECT_FALSE(edit.isChecked()) << "pickers start unticked";
    EXPECT_EQ(edit.date(), QDate(2024, 3, 1));
    EXPECT_FALSE(edit.checkedDate().isValid());
    EXPECT_EQ(edit.dateEdit()->text(), QStringLiteral("2024-03-01"));

    QSignalSpy changed(&edit, &CheckedDateEdit::changed);
    edit.setDate(QDate(2024, 12, 31));
    EXPECT_FALSE(edit.isChecked()) << "setDate from code leaves the tick alone";
    edit.setChecked(true);
    EXPECT_EQ(edit.checkedDate(), QDate(2024, 12, 31));
    EXPECT_EQ(changed.count(), 2);
    edit.setChecked(false);
    EXPECT_EQ(edit.date(), QDate(2024, 12, 31)) << "unticking keeps the date for the next tick";
}

TEST(CheckedDateEdit, stored_value_round_trip_uses_the_absent_date_sentinel)
{
    CheckedDateEdit edit(QDate(2024, 5, 6), true);
    EXPECT_EQ(edit.storedDate(), QDate(2024, 5, 6));
    edit.setChecked(false);
    EXPECT_EQ(edit.storedDate(), QDate(1900, 8, 14));

    struct Case {
        QVariant stored;
        bool ticked;
        QDate shown;
    } cases[] = {
        {QVariant(), false, QDate(2024, 5, 6)},
        {QStringLiteral("1900-08-14"), false, QDate(2024, 5, 6)},
        {QDate(1901, 1, 1), false, QDate(2024, 5, 6)},
        {QStringLiteral("2023-07-08"), true, QDate(2023, 7, 8)},
        {QDate(2022, 2, 2), true, QDate(2022, 2, 2)},
    };
    for (const auto &c : cases) {
        edit.setDate(QDate(2024, 5, 6));
        edit.setChecked(!c.ticked);
        edit.setStoredDate(c.stored);
        EXPECT_EQ(edit.isChecked(), c.ticked) << c.stored.toString().toStdString();
        EXPECT_EQ(edit.date(), c.shown) << c.stored.toString().toStdString();
    }
}

TEST(CheckedDateEdit, keyboard_space_toggles_typing_ticks_enter_reaches_the_form)
{
    KeyCatcher form;
    auto *edit = new CheckedDateEdit(QDate(2024, 3, 1), false, &form);
    form.show();
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(QApplication::focusWidget(), edit->dateEdit()) << "one tab stop: the date field";

    QTest::keyClick(edit->dateEdit(), Qt::Key_Space);
    EXPECT_TRUE(edit->isChecked());
    QTest::keyClick(edit->dateEdit(), Qt::Key_Space);
    EXPECT_FALSE(edit->isChecked());

    // Stepping the day with the arrow keys is a user choice of date: it ticks.
    edit->dateEdit()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(edit->dateEdit(), Qt::Key_Up);
    EXPECT_TRUE(edit->isChecked());
    EXPECT_EQ(edit->date(), QDate(2024, 3, 2));

    QTest::keyClick(edit->dateEdit(), Qt::Key_Return);
    EXPECT_TRUE(form.keys.contains(Qt::Key_Return)) << "the form's Enter-moves-on handler must see Enter";
}

TEST(CheckedDateEdit, look)
{
    const QString dir = qEnvironmentVariable("TARVIK_LOOK_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "set TARVIK_LOOK_DIR to look at the picker";
    QWidget form;
    auto *layout = new QHBoxLayout(&form);
    layout->addWidget(new QLabel(QStringLiteral("自"), &form));
    layout->addWidget(new CheckedDateEdit(QDate(2024, 3, 1), true, &form));
    layout->addWidget(new QLabel(QStringLiteral("至"), &form));
    layout->addWidget(new CheckedDateEdit(QDate(2024, 3, 31), false, &form));
    form.show();
    QApplication::processEvents();
    form.grab().save(dir + QStringLiteral("/checkeddateedit.png"));
}
