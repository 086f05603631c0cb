#include "data/session.h"

namespace tarvik {

namespace {
QDateTime &fixedNow()
{
    static QDateTime t;
    return t;
}
} // namespace

LoginContext &loginContext()
{
    static LoginContext c;
    return c;
}

SystemOptions &systemOptions()
{
    static SystemOptions o;
    return o;
}

QDateTime now()
{
    return fixedNow().isValid() ? fixedNow() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void setFixedNow(const QDateTime &fixed)
{
    fixedNow() = fixed;
}

} // namespace tarvik
