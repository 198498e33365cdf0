#include "QvGen4StartValues.h"

#include "QvGen4.h"

void QvGen4ApplyStartValues(TQvGen4& Gen) {
    Gen.SetAutoUpdate(false);
    for (TQvGen4Channel* ch :
         {static_cast<TQvGen4Channel*>(&Gen.ChA), static_cast<TQvGen4Channel*>(&Gen.ChB)}) {
        ch->Set_sinFrequency(1000);
        ch->Set_sinAmplitude(100);
        auto& im = ch->IntModulation;
        im.SetFm(1000);
        im.SetdA(50);
        im.SetdF(100);
        im.SetdPh(90);
        im.SetCC(0.5);
        ch->Tuner.SetADCTimerEnabled(true);
        ch->Tuner.SetADCTimerInterval(500);
        auto& dm = ch->DDSMod;
        dm.SetF1(1000);
        dm.SetF2(1000);
        dm.SetF3(1000);
        dm.SetF4(1000);
        dm.Set_dF(1000);
        dm.SetPh1(0);
        dm.SetPh2(180);
        dm.SetPh3(90);
        dm.SetPh4(270);
        dm.Set_dPh(90);
        dm.SetT1(1000);
        dm.SetT2(1000);
        dm.SetT3(1000);
        dm.SetT4(1000);
        dm.SetContBidiRamp(true);
        dm.SetFm(1000);
        dm.SetCC(0.5);
        dm.SetReadingsCntMin(32);
    }
    Gen.Options.SetOverModulationNotify(true);
    Gen.SetRefFreq(25);
    Gen.SetFreqScale(16);
}
