// The controller value globals: one integer per continuous control of the main window. Controller
// actions write them, the 10 ms copy (ControlValueCopy) moves the controls to them, and each
// control's change handler writes its new position back, so mouse and controller edit one value.
// UI thread only.
#pragma once

class ControllerValues {
public:
    int quorfreq1 = 63, quorfreq2 = 63;        // trackfrequency, trackfrequency2 (0..127)
    int quorvol1 = 127, quorvol2 = 127;        // trackvolume, trackvolume2 (0..127)
    int quorcross = 63;                        // crossfader (-1..127)
    int quorbass1 = 15, quorbass2 = 15;        // bas1, bas2 (0..30)
    int quormid1 = 15, quormid2 = 15;          // mid1, mid2 (0..30)
    int quortre1 = 15, quortre2 = 15;          // tre1, tre2 (0..30)
    int quorgain1 = 10, quorgain2 = 10;        // gain1, gain2 (0..20)
    int quordry1 = 500, quordry2 = 500;        // dry1, dry2 (0..1000)
    int quorpara1 = 525, quorpara2 = 525;      // wet1, wet2 (100..950)
    int quorsam1 = 100, quorsam2 = 100;        // samplevolume, samplevolume2 (0..100)
    int quorheada = 50, quorheadb = 50;        // volhead1, volhead2 (0..100)
    int quorheadmix = 100;                     // no control of its own
    int quorvolrec = 100;                      // volrec (0..100)
    int quorwhel1 = 0, quorwhel2 = 0;          // vrwheela, vrWheelb counts (0..36000)
    int oldgain1 = 0, oldgain2 = 0;            // last raw value of a stepping gain pot
    int quorrow = 0;                           // last raw value of an absolute browse pot
};
