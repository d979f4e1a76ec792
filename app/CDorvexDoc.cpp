#include "app/CDorvexDoc.h"

namespace vantor {

bool CDorvexDoc::OnCommand(int /*commandId*/)
{
    return false;
}

bool CDorvexDoc::OnUpdateCommandUI(int /*commandId*/, CommandUI& /*ui*/)
{
    return false;
}

}  // namespace vantor
