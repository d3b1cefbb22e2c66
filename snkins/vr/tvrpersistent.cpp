#include "snkins/vr/tvrpersistent.h"

void TVrPersistent::EndUpdate()
{
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

void TVrPersistent::Changed()
{
    if (FUpdateCount == 0) emit OnChange(this);
}
