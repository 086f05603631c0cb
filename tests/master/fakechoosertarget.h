#pragma once

#include "master/choosertarget.h"

#include <QList>

// A bill as the chooser sees it: its lines in memory.
struct FakeChooserTarget : tarvik::ChooserTarget {
    QString owner = QStringLiteral("CJD20240105001");
    QString ownerField = QStringLiteral("F_code");
    int kind = 1;
    QString excluded = QStringLiteral("CJD20240105001");
    QStringList codes;
    QList<QVariantMap> lines;
    bool header = false;
    QList<QVariantMap> headerItems;

    QStringList itemCodes() const override { return codes; }
    QString ownerColumn() const override { return ownerField; }
    QString ownerValue() const override { return owner; }
    int priceKind() const override { return kind; }
    QString excludedBill() const override { return excluded; }
    bool appendLine(const QVariantMap &line) override
    {
        lines << line;
        codes << line.value(QStringLiteral("F_goodcode")).toString();
        return true;
    }
    bool fillsHeader() const override { return header; }
    bool fillHeader(const QVariantMap &item) override
    {
        headerItems << item;
        return true;
    }
};
