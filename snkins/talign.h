// Where a control docks in its parent, shared by the instrument controls and the skinned image.
#pragma once

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
