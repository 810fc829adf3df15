#include "WindowContext.h"

#include "platform/VersionInfo.h"

void LoadBranding(WindowContext &context)
{
    const VersionValues version = context.platform.version->read();
    context.branding.strProductName = version.productName;
    context.branding.strCompanyName = version.companyName;
    context.branding.strComments = version.comments;
    context.skin.bUseSkin = true;
}
