#include "master/screens.h"

#include "data/forms.h"
#include "data/prompts.h"
#include "master/frmcodeman.h"
#include "master/frmgoodgl.h"
#include "master/frmtreecodeman.h"

namespace tarvik::master {

void registerScreens()
{
    // One line per command.
    ScreenRegistry::setOpener(201, [] { ShowChildForm<TFrmGoodGl>(); });
    ScreenRegistry::setOpener(203, [] { TFrmTreeCodeMan::maintain(false); });
    ScreenRegistry::setOpener(204, [] { TFrmTreeCodeMan::maintain(true); });
    ScreenRegistry::setOpener(205, [] {
        TFrmCodeMan form;
        SetFormPlacement(&form, 1);
        prompts().execDialog(form);
    });
}

} // namespace tarvik::master
