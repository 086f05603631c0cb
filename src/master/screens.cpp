#include "master/screens.h"

#include "data/forms.h"
#include "master/frmtreecodeman.h"

namespace tarvik::master {

void registerScreens()
{
    // One line per command.
    ScreenRegistry::setOpener(203, [] { TFrmTreeCodeMan::maintain(false); });
    ScreenRegistry::setOpener(204, [] { TFrmTreeCodeMan::maintain(true); });
}

} // namespace tarvik::master
