#include "tests/support/RowNotices.h"

#include "platform/listcontrol/ListControlModel.h"
#include "tests/support/WaitUntil.h"

namespace vantor::test {

bool WaitForRowNotice(const QAbstractItemModel* model)
{
    const auto* rows = static_cast<const lc::ListControlModel*>(model);
    return WaitUntil([rows] { return !rows->HasUnannouncedItems(); }, 1000);
}

}  // namespace vantor::test
