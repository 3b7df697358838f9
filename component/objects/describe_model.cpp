#include "component/objects/describe_model.h"

#include "component/detect/known_model.h"
#include "platform/base/format.h"
#include "platform/base/wtext.h"

ModelDescription DescribeModel(int model, char letter)
{
    ModelDescription d = {};
    wcsncpy(d.manufacturer, u"YOLT", 259);
    wcsncpy(d.modelName, ModelNameOf(model), 259);
    _snwprintf(d.fullName, 259, u"%s %s (%c:)", d.manufacturer, d.modelName, static_cast<WCHAR>(letter));
    d.fullName[259] = 0;
    return d;
}
