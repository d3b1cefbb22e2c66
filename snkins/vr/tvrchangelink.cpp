#include "snkins/vr/tvrchangelink.h"

#include "snkins/vr/tvrsharedcomponent.h"

TVrChangeLink::~TVrChangeLink()
{
    if (FSender) FSender->RemoveLink(this);
}

void TVrChangeLink::Change() { emit OnChange(FSender); }
