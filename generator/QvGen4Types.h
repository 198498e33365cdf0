// Enumerations and constants shared by the generator model, the link backends and the tools.
#pragma once

#include <cstdint>

// The channel a frame or a channel object belongs to.
enum TQvGen4ChNames : std::uint8_t { QGCN_A = 0, QGCN_B = 1 };

// A channel's operating mode.
enum TQvGen4ModesCommon : std::uint8_t {
    QGMdC_off = 0,
    QGMdC_gen = 1,
    QGMdC_tuning = 2,
    QGMdC_IntModulation = 3,
    QGMdC_ExtModulation = 4,
    QGMdC_ExtModulationA12 = 5,
    QGMdC_ExtModulationAB1 = 6,
    QGMdC_LFM = 7,
    QGMdC_DDSMod = 8,
};

// The carrier parameter a sub-object acts on.
enum TQvGen4AFPModes : std::uint8_t { QGAFPms_freq = 0, QGAFPms_ampl = 1, QGAFPms_phase = 2 };

// How start frames name the modulated or tuned parameter: frequency 3, amplitude 1, phase 2.
constexpr std::uint8_t QvGen4AFPSelector(TQvGen4AFPModes Type) {
    switch (Type) {
    case QGAFPms_freq:
        return 3;
    case QGAFPms_ampl:
        return 1;
    case QGAFPms_phase:
        return 2;
    }
    return 0;
}

// Keying programs of the DDS keying object.
enum TQvGen4DDSmodModes : std::uint8_t { QGTMs_BxSK = 0, QGTMs_QxSK = 1, QGTMs_User = 2 };

// What OnParamValueError reports as refused.
enum TQvGen4Parameters : std::uint8_t {
    QGP_Frequency = 2, // channel or symbol frequency
    QGP_Phase = 3,     // channel or symbol phase
    QGP_SweepTime = 11,
    QGP_DwellTime = 24,
};

// Command codes as built for channel A; channel B variants come from the frame record's remap.
enum TQvGen4Commands : std::uint8_t {
    QGC_Control = 0x00,
    QGC_Amplitude = 0x02,
    QGC_Frequency = 0x04,
    QGC_Phase = 0x05,
    QGC_SweepTop = 0x06,
    QGC_Ramp0 = 0x07,
    QGC_Ramp1 = 0x08,
    QGC_Symbol2 = 0x09,
    QGC_Symbol3 = 0x0A,
    QGC_TableHeader = 0x20,
    QGC_CentreValue = 0x29,
    QGC_DDSMemHeader = 0x30,
    QGC_SymbolSelect = 0x40,
    QGC_UpdateDDSs = 0x7F,
    QGC_NoUpdateDDSs = 0x80,
    QGC_TuneFreq = 0x81,
    QGC_TuneAmpl = 0x82,
    QGC_SweepStart = 0x83,
    QGC_TunePhase = 0x84,
    QGC_SweepRise = 0x85,
    QGC_SweepFall = 0x86,
    QGC_IntModStart = 0x87,
    QGC_IntModStop = 0x88,
    QGC_ExtModStart = 0x8B,
    QGC_ExtModDouble = 0x8F,
    QGC_ExtModA12 = 0x91,
    QGC_IntModDoubleCmd = 0x97,
    QGC_IntModDoubleStart = 0x9A,
    QGC_IntModDoubleStop = 0x9B,
    QGC_IntModDuplex = 0xB0,
    QGC_ExtModDuplex = 0xB2,
    QGC_FreqScale = 0xE5,
    QGC_ExtTimes = 0xE6,
    QGC_Reset = 0xF0,
    QGC_OutputOn = 0xF1,
    QGC_OutputOff = 0xF2,
    QGC_ADCQuery = 0xFD,
};
