#include "ops.h"

#include "core/commonkit.h"
#include "platform/twips.h"
#include "skin/skinfolder.h"

ops::ops()
{
    setObjectName("ops");
    setAccessibleName("options");
    resize(Twips::toPixels(3720), Twips::toPixels(1560));
}

void ops::Form_Load()
{
    CommonKit::StayOnTop(this);
    setBackground(SkinFolder::ResolveSkinFolder() + "ops.bmp");
}
