#pragma once

#include "data/database.h"

#include <QDate>

#include <functional>

namespace tarvik::bench {

// Size and shape of a generated database. The defaults are the full benchmark set:
// 5,000 raw materials, 1,000 products, 50,000 bills with 1,000,000 lines over three years.
struct GenOptions {
    quint64 seed = 20240611;
    int materials = 5000;
    int products = 1000;
    int suppliers = 300;
    int customers = 500;
    int plans = 2500;
    int bills = 50000;
    qint64 lines = 1000000; // exact total of DepotD rows
    QDate lastDay = QDate(2024, 12, 31);
    int years = 3;
    int billsPerTransaction = 2000;

    // The default set with every count multiplied by `factor` (at least a handful of each).
    static GenOptions scaled(double factor);
};

struct GenStats {
    qint64 materials = 0;
    qint64 products = 0;
    qint64 bomLines = 0;
    qint64 partners = 0;
    qint64 plans = 0;
    qint64 planLines = 0;
    qint64 launches = 0;
    qint64 bills = 0;
    qint64 approvedBills = 0;
    qint64 lines = 0;
    qint64 stoppedItems = 0;
};

// Fills a database made by createDatabase (it must hold no master data or bills yet)
// with a believable factory: category trees, materials, products and bills of materials,
// partners, code lists, plans and launches, and bills of all eight kinds. The same seed
// and options give the same rows on either engine.
Result<GenStats> generateDatabase(Database &db, const GenOptions &options,
                                  const std::function<void(const QString &)> &progress = {});

} // namespace tarvik::bench
