#pragma once

#include <QDate>
#include <QVariant>
#include <QWidget>

class QCheckBox;
class QDateEdit;

namespace tarvik {

// A date picker with a tick box in front of it. An unticked picker means "no
// date": filters ignore it and custom date fields store the absent-date
// sentinel "1900-08-14". The date stays visible (greyed) while unticked, so
// ticking again brings back the last date.
//
// Keyboard: the picker is one tab stop (the date field); Space ticks or
// unticks; typing or stepping the date (digits, Up/Down) ticks it; F4 or
// Alt+Down opens the calendar. The display is always "yyyy-MM-dd".
class CheckedDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit CheckedDateEdit(QWidget *parent = nullptr);
    explicit CheckedDateEdit(const QDate &date, bool checked = false, QWidget *parent = nullptr);

    bool isChecked() const;
    void setChecked(bool checked);
    QDate date() const;
    void setDate(const QDate &date); // leaves the tick as it is

    // The date when ticked, else an invalid QDate.
    QDate checkedDate() const { return isChecked() ? date() : QDate(); }
    // What a custom date field stores: the date when ticked, else 1900-08-14.
    QDate storedDate() const;
    // Shows a stored value: an absent date (null, sentinel, before 1901-08-14)
    // unticks the picker and keeps its date; any other date ticks it.
    void setStoredDate(const QVariant &value);

    static QDate absentDate() { return QDate(1900, 8, 14); }

    QDateEdit *dateEdit() const { return m_edit; }
    QCheckBox *checkBox() const { return m_check; }

signals:
    void toggled(bool checked);
    void dateChanged(const QDate &date);
    // Either of the two changed: what filters and captions listen to.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateLook();

    QCheckBox *m_check;
    QDateEdit *m_edit;
    bool m_settingDate = false;
};

} // namespace tarvik
