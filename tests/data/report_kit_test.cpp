#include "data/report/report.h"
#include "data/session.h"
#include "report_fixture.h"

#include <QDir>
#include <QImage>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::test;

namespace {

// Set TARVIK_LOOK_DIR to get every page as a PNG for a person to look at.
void dumpPages(ReportDocument &doc, const QString &name)
{
    const QString dir = qEnvironmentVariable("TARVIK_LOOK_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    for (int i = 0; i < doc.pageCount(); ++i)
        doc.pageImage(i, 110).save(QStringLiteral("%1/%2-%3.png").arg(dir, name).arg(i + 1));
}

class KitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setReportFolder({}); // the delivered templates in the program folder
        loginContext() = LoginContext{};
        loginContext().OperCode = QStringLiteral("000");
        loginContext().Price = true;
        systemOptions() = SystemOptions{};
        systemOptions().CompanyName = QStringLiteral("宁波恒达机械制造有限公司");
        systemOptions().PrintRows = 5;
    }
};

} // namespace

TEST_F(KitTest, delivered_bill_templates_print_twelve_lines_on_three_pages)
{
    auto header = billHeaderFixture();
    auto lines = billLinesFixture(12);
    for (const char *base : {"frInGoodDeptGL", "frOutGoodDeptGL"}) {
        for (const char *suffix : {"", "1", "2"}) {
            const QString name = QString::fromLatin1(base) + QString::fromLatin1(suffix);
            Report r;
            ASSERT_TRUE(r.load(name)) << name.toStdString();
            r.setBill(*header, *lines);
            const Report::Output out = r.render();
            ASSERT_FALSE(out.error) << name.toStdString() << ": " << out.error->message.toStdString();
            ReportDocument doc(out, name);
            EXPECT_EQ(doc.pageCount(), 3) << name.toStdString();
            for (int p = 0; p < doc.pageCount(); ++p) {
                const QString text = doc.pageText(p);
                EXPECT_TRUE(text.contains(QStringLiteral("CJD20240315001"))) << name.toStdString() << " page " << p;
                EXPECT_TRUE(text.contains(QStringLiteral("宁波恒达机械制造有限公司")));
                EXPECT_TRUE(text.contains(QStringLiteral("第 %1 页 / 共 3 页").arg(p + 1)));
            }
            dumpPages(doc, name);
        }
    }
}
