#include "snkins/vs/tvschangelink.h"

#include "snkins/vs/tvssharedcomponent.h"

TVsChangeLink::~TVsChangeLink()
{
    if (FSender) FSender->RemoveLink(this);
}

void TVsChangeLink::Change()
{
    if (OnChange) OnChange(FSender);
}
