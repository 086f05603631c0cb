#pragma once

#include <QDoubleSpinBox>

namespace tarvik {

// A number box for quantities and money: no spin buttons, thousands grouping,
// at least `minDecimals` and at most `maxDecimals` places shown (",0.######"
// shows 2.5 as "2.5", ",0.00" as "2.50").
class NumberBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit NumberBox(QWidget *parent = nullptr, int minDecimals = 0, int maxDecimals = 2);

    void setPlaces(int minDecimals, int maxDecimals);
    QString textFromValue(double value) const override;
    double valueFromText(const QString &text) const override;
    QValidator::State validate(QString &input, int &pos) const override;

private:
    int m_min;
};

} // namespace tarvik
