#include "app/startup.h"

// Each layer with screens registers the openers of its commands; a layer not
// built yet simply leaves its commands without a screen.
#if __has_include("master/screens.h")
#include "master/screens.h"
#define TARVIK_HAS_MASTER_SCREENS 1
#endif
#if __has_include("bills/screens.h")
#include "bills/screens.h"
#define TARVIK_HAS_BILLS_SCREENS 1
#endif
#if __has_include("production/screens.h")
#include "production/screens.h"
#define TARVIK_HAS_PRODUCTION_SCREENS 1
#endif
#if __has_include("reports/screens.h")
#include "reports/screens.h"
#define TARVIK_HAS_REPORTS_SCREENS 1
#endif
#if __has_include("admin/screens.h")
#include "admin/screens.h"
#define TARVIK_HAS_ADMIN_SCREENS 1
#endif

namespace tarvik::app {

void registerLayerScreens()
{
#ifdef TARVIK_HAS_MASTER_SCREENS
    tarvik::master::registerScreens();
#endif
#ifdef TARVIK_HAS_BILLS_SCREENS
    tarvik::bills::registerScreens();
#endif
#ifdef TARVIK_HAS_PRODUCTION_SCREENS
    tarvik::production::registerScreens();
#endif
#ifdef TARVIK_HAS_REPORTS_SCREENS
    tarvik::reports::registerScreens();
#endif
#ifdef TARVIK_HAS_ADMIN_SCREENS
    tarvik::admin::registerScreens();
#endif
}

} // namespace tarvik::app
