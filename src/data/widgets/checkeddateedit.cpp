#include "data/widgets/checkeddateedit.h"

#include "data/database.h"
#include "data/session.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>

namespace tarvik {

CheckedDateEdit::CheckedDateEdit(QWidget *parent) : CheckedDateEdit(QDate(), false, parent) {}

CheckedDateEdit::CheckedDateEdit(const QDate &date, bool checked, QWidget *parent)
    : QWidget(parent), m_check(new QCheckBox(this)), m_edit(new QDateEdit(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_check);
    layout->addWidget(m_edit, 1);

    // One tab stop: the date field; Space in it works the tick box.
    m_check->setFocusPolicy(Qt::NoFocus);
    m_edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_edit->setCalendarPopup(true);
    m_edit->setMinimumDate(QDate(1900, 1, 1));
    m_edit->setMaximumDate(QDate(3001, 12, 31));
    m_edit->setDate(date.isValid() ? date : today());
    m_edit->installEventFilter(this);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);
    m_check->setChecked(checked);

    connect(m_check, &QCheckBox::toggled, this, [this](bool on) {
        updateLook();
        emit toggled(on);
        emit changed();
    });
    connect(m_edit, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        // A date the user picks or types is meant to count.
        if (!m_settingDate && !m_check->isChecked())
            m_check->setChecked(true);
        emit dateChanged(d);
        emit changed();
    });
    updateLook();
}

bool CheckedDateEdit::isChecked() const
{
    return m_check->isChecked();
}

void CheckedDateEdit::setChecked(bool checked)
{
    m_check->setChecked(checked);
}

QDate CheckedDateEdit::date() const
{
    return m_edit->date();
}

void CheckedDateEdit::setDate(const QDate &date)
{
    if (!date.isValid())
        return;
    m_settingDate = true;
    m_edit->setDate(date);
    m_settingDate = false;
}

QDate CheckedDateEdit::storedDate() const
{
    return isChecked() ? date() : absentDate();
}

void CheckedDateEdit::setStoredDate(const QVariant &value)
{
    if (isSentinelDate(value)) {
        setChecked(false);
        return;
    }
    const QDate d = toDate(value);
    if (!d.isValid()) {
        setChecked(false);
        return;
    }
    setDate(d);
    setChecked(true);
}

bool CheckedDateEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Space && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_check->toggle();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CheckedDateEdit::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        updateLook();
    QWidget::changeEvent(event);
}

void CheckedDateEdit::updateLook()
{
    // Unticked: the date is shown greyed but stays editable, so typing a date ticks it.
    QPalette pal = palette();
    if (!m_check->isChecked())
        pal.setColor(QPalette::Text, pal.color(QPalette::Disabled, QPalette::Text));
    m_edit->setPalette(pal);
}

} // namespace tarvik
