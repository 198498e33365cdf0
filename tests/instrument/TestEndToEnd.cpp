// Model to frames to virtual instrument: for a table of configurations the generator runs one
// update cycle into the virtual instrument, which must take every byte without a protocol error
// and end up doing what the channel objects say.
#include "InstrumentFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>

namespace {

constexpr double AMPL_CODE = 100.0 / 16384; // percent per amplitude code
constexpr double PHASE_CODE = 360.0 / 16384;
constexpr double IN1 = 0.5; // the external inputs and the ADC input, held constant
constexpr double IN2 = -0.25;

double StepHz(const TQvGen4& G) {
    return G.GenFreq() * 1e6 / 4294967296.0;
}

// Difference of two angles, -180 to 180 degrees.
double AngleDiff(double A, double B) {
    double d = std::fmod(A - B, 360.0);
    if (d > 180) {
        d -= 360;
    } else if (d < -180) {
        d += 360;
    }
    return d;
}

// The modulating waveform, -1 to 1, at reading K of N, as the tables are computed.
double Wave(TMathFuncsTypes Type, double CC, double K, double N, bool Half = false) {
    switch (Type) {
    case QMFT_triangle: {
        const double d = K / N;
        const double t = d < CC ? d / CC : (CC - d) / (1 - CC) + 1;
        return 2 * t - 1;
    }
    case QMFT_rect:
        return K < std::nearbyint(N * CC) ? 1 : -1;
    default:
        return std::sin((Half ? 1 : 2) * std::numbers::pi * K / N);
    }
}

struct TExpected {
    double Hz, Percent, Deg;
};

TExpected Carrier(const TQvGen4Channel& Ch) {
    return {Ch.Frequency() * 1000, Ch.Amplitude(), Ch.Phase()};
}

// One carrier parameter moved by Value (Hz, percent or degrees).
TExpected Moved(TExpected C, TQvGen4AFPModes P, double Value) {
    (P == QGAFPms_freq ? C.Hz : P == QGAFPms_ampl ? C.Percent : C.Deg) += Value;
    return C;
}

void ExpectOutput(const TQvGen4& G, const TQvOutputSample& S, const TExpected& E,
                  double Codes = 1) {
    EXPECT_NEAR(S.FrequencyHz, E.Hz, Codes * StepHz(G)) << "at " << S.Time << " s";
    EXPECT_NEAR(S.AmplitudePercent, E.Percent, Codes * AMPL_CODE) << "at " << S.Time << " s";
    EXPECT_NEAR(AngleDiff(S.PhaseDeg, E.Deg), 0, Codes * PHASE_CODE) << "at " << S.Time << " s";
}

// Nominal depths the panel offers, per Scale (Hz and degrees).
const std::map<int, double> FreqDepthHz = {{1, 92},     {4, 750},     {7, 6000},
                                           {10, 48000}, {12, 190000}, {14, 750000}};
const std::map<int, double> PhaseDepthDeg = {{15, 5.5}, {16, 11}, {17, 22.5}, {18, 45}, {19, 90}};

// The instrument's swing of a parameter at full input: measured from the samples at input 0
// and 1, and compared with the depth the model's Scale stands for.
void ExpectDepth(TQvVirtualInstrument& I, TQvGen4ChNames Out, TQvGen4AFPModes P, int Scale,
                 std::function<void(TQvVirtualInstrument&, double)> SetInput) {
    SetInput(I, 0);
    const TQvOutputSample at0 = I.Sample(Out, 0);
    SetInput(I, 1);
    const TQvOutputSample at1 = I.Sample(Out, 0);
    SetInput(I, IN1);
    switch (P) {
    case QGAFPms_ampl: // stated exactly: 100 * 2^(Scale - 21) percent
        EXPECT_NEAR(at1.AmplitudePercent - at0.AmplitudePercent, 100 * std::ldexp(1, Scale - 21),
                    AMPL_CODE);
        break;
    case QGAFPms_phase: // the panel rounds its labels to a few percent
        EXPECT_NEAR(AngleDiff(at1.PhaseDeg, at0.PhaseDeg) / PhaseDepthDeg.at(Scale), 1, 0.05);
        break;
    default:
        EXPECT_NEAR((at1.FrequencyHz - at0.FrequencyHz) / FreqDepthHz.at(Scale), 1, 0.05);
    }
}

// Internal modulation of Ch's output Out: the table played at its divider's rate gives Fm within
// the divider's rounding, and each reading is the carrier moved by the deviation times the wave,
// within the rounding of the carrier, the deviation and the reading (the deviation's code also
// carries the conversion's offset of one code).
void ExpectIntModulation(const TQvGen4& G, const TQvVirtualInstrument& I, const TQvGen4Channel& Ch,
                         TQvGen4ChNames Out) {
    const TQvGen4IntModulation& m = Ch.IntModulation;
    const TQvIntModState& st = I.Output(Out).IntMod;
    ASSERT_TRUE(st.Running);
    ASSERT_EQ(st.Parameter, m.Type());
    const double rate = TQvVirtualInstrument::TIMER_HZ / (65536.0 - st.Divider);
    const double n = st.TableBytes / (m.Type() == QGAFPms_freq ? 4.0 : 2.0);
    ASSERT_GT(n, 0);
    EXPECT_NEAR(rate / n, m.Fm(), m.Fm() / 128.0); // at least 128 timer ticks per reading
    const double dev = m.Type() == QGAFPms_freq   ? m.dF()
                       : m.Type() == QGAFPms_ampl ? m.dA() * Ch.Amplitude() * 0.01
                                                  : m.dPh();
    for (double k = 0; k < n; k += std::max(1.0, std::floor(n / 16))) {
        const auto s = I.Sample(Out, (k + 0.5) / rate);
        ExpectOutput(G, s, Moved(Carrier(Ch), m.Type(), dev * Wave(m.MathFuncType(), m.CC(), k, n)),
                     3);
    }
}

// Frequency or phase played from the synthesizer memory: N readings of Tau each, N * Tau as close
// to the period as the step allows, reading k at step k (and back down for half a period).
void ExpectUserMode(const TQvGen4& G, const TQvVirtualInstrument& I, const TQvGen4Channel& Ch) {
    const TQvGen4DDSMod& d = Ch.DDSMod;
    const TQvOutputState& o = I.Output(Ch.ChannelType());
    ASSERT_EQ(o.Mode(), TQvOutputMode::MemoryTable);
    const TQvProfile& p = o.Memory.Profiles[0];
    const double n = p.End - p.Start + 1;
    const bool half = p.Playback == 0x60;
    EXPECT_EQ(half, d.ContBidiRamp() && d.MathFuncType() == QMFT_sin);
    EXPECT_EQ(n, d.N());
    EXPECT_EQ(p.StepTime, d.Tau());
    const double tau = p.StepTime * TQvVirtualInstrument::TICK_S;
    EXPECT_NEAR(n * tau * (half ? 2 : 1), 1 / d.Fm(), n * TQvVirtualInstrument::TICK_S);
    const double dev = d.Type() == QGAFPms_freq ? d.dF() : d.dPh();
    for (double k = 0; k < (half ? 2 * n : n); k += std::max(1.0, std::floor(n / 8))) {
        const double reading = k < n ? k : 2 * n - 1 - k;
        const auto s = I.Sample(Ch.ChannelType(), (k + 0.5) * tau);
        ExpectOutput(
            G, s,
            Moved(Carrier(Ch), d.Type(), dev * Wave(d.MathFuncType(), d.CC(), reading, n, half)),
            3);
    }
}

// Symbols held for their dwell times, T rounded down to 20 ns, one after the other.
void ExpectKeying(const TQvGen4& G, const TQvVirtualInstrument& I, const TQvGen4Channel& Ch) {
    const TQvGen4DDSMod& d = Ch.DDSMod;
    const int symbols = d.Mode() == QGTMs_QxSK ? 4 : 2;
    const double f[] = {d.F1(), d.F2(), d.F3(), d.F4()};
    const double ph[] = {d.Ph1(), d.Ph2(), d.Ph3(), d.Ph4()};
    const double t[] = {d.T1(), d.T2(), d.T3(), d.T4()};
    const double ns = 1e-9;
    double start = 0;
    for (int cycle = 0; cycle < 2; ++cycle) {
        for (int s = 0; s < symbols; ++s) {
            const double dwell = std::floor(t[s] / 20) * 20 * ns;
            TExpected e = Carrier(Ch);
            (d.Type() == QGAFPms_freq ? e.Hz : e.Deg) =
                d.Type() == QGAFPms_freq ? f[s] * 1000 : ph[s];
            ExpectOutput(G, I.Sample(Ch.ChannelType(), start + 0.5 * ns), e);
            ExpectOutput(G, I.Sample(Ch.ChannelType(), start + dwell - 0.5 * ns), e);
            start += dwell;
        }
    }
}

// With the symbol times from outside, the inputs choose the symbol: input 1 above zero gives
// bit 0, input 2 bit 1 (four symbols only).
void ExpectExternalKeying(const TQvGen4& G, TQvVirtualInstrument& I, const TQvGen4Channel& Ch) {
    const TQvGen4DDSMod& d = Ch.DDSMod;
    const double f[] = {d.F1(), d.F2(), d.F3(), d.F4()};
    const double ph[] = {d.Ph1(), d.Ph2(), d.Ph3(), d.Ph4()};
    const bool four = d.Mode() == QGTMs_QxSK;
    for (int s = 0; s < (four ? 4 : 2); ++s) {
        I.SetInput1(QvConstantInput(s & 1 ? 1 : -1));
        I.SetInput2(QvConstantInput(s & 2 ? 1 : -1));
        TExpected e = Carrier(Ch);
        (d.Type() == QGAFPms_freq ? e.Hz : e.Deg) = d.Type() == QGAFPms_freq ? f[s] * 1000 : ph[s];
        ExpectOutput(G, I.Sample(Ch.ChannelType(), 1e-3), e);
    }
}

// The trapezoid: bottom at the start, the top reached after Tinc0 and held, the bottom reached
// again Tdec0 after the first half ends.
void ExpectSweep(const TQvGen4& G, const TQvVirtualInstrument& I, const TQvGen4Channel& Ch) {
    const TQvGen4LFM& l = Ch.LFM;
    const TQvGen4ChNames out = Ch.ChannelType();
    ASSERT_TRUE(I.Output(out).Sweep.Started);
    const double us = 1e-6;
    const double bottom = Ch.Frequency() * 1000;
    const double top = l.FreqTop() * 1000.0;
    const double rise = l.Tinc0() * us;
    const double half = (l.Tinc0() + l.Tinc1()) * us;
    const double fall = l.Tdec0() * us;
    const auto hz = [&](double T) { return I.Sample(out, T).FrequencyHz; };
    const double step = StepHz(G);
    EXPECT_NEAR(hz(0), bottom, step);
    EXPECT_NEAR(hz(rise + l.Tinc1() * us / 2), top, step);
    EXPECT_NEAR(hz(half + fall + l.Tdec1() * us / 2), bottom, step);
    // Ramp times: when the frequency reaches its limit, within the approximation and the 2 µs
    // timing unit.
    const auto reach = [&](double From, double To, double Limit) {
        const double dt = (To - From) / 2000;
        for (double t = From; t < To; t += dt) {
            if (std::abs(hz(t) - Limit) <= step) {
                return t - From;
            }
        }
        return To - From;
    };
    EXPECT_NEAR(reach(0, half, top), rise, rise * 0.01 + 3 * us);
    EXPECT_NEAR(reach(half, 2 * half + fall + l.Tdec1() * us, bottom), fall, fall * 0.01 + 3 * us);
    // Midway up the ramp: halfway between bottom and top, within one step of the ramp.
    const double rampStep = I.Output(out).Sweep.Rise.Step * step;
    EXPECT_NEAR(hz(rise / 2), (bottom + top) / 2, (top - bottom) * 0.01 + rampStep);
}

// Passes everything to the instrument and keeps a copy of the bytes that went in.
class TTapLink final : public TQvGen4Link {
public:
    TTapLink(std::unique_ptr<TQvGen4Link> Inner, TBytes& Tap)
        : FInner(std::move(Inner)), FTap(Tap) {}
    FT_STATUS Open() override { return FInner->Open(); }
    FT_STATUS Close() override { return FInner->Close(); }
    FT_STATUS Write(const std::uint8_t* Data, std::uint32_t Count,
                    std::uint32_t& Written) override {
        const FT_STATUS s = FInner->Write(Data, Count, Written);
        FTap.insert(FTap.end(), Data, Data + Written);
        return s;
    }
    FT_STATUS Read(std::uint8_t* Data, std::uint32_t Count, std::uint32_t& Received) override {
        return FInner->Read(Data, Count, Received);
    }

private:
    std::unique_ptr<TQvGen4Link> FInner;
    TBytes& FTap;
};

struct TConfig {
    const char* Name;
    std::function<void(TQvGen4&)> Setup;
    std::function<void(TQvGen4&, TQvVirtualInstrument&)> Check;
    std::function<void(TQvVirtualInstrument&)> Bench = {}; // what is wired to the instrument
};

void IntMod(TQvGen4Channel& Ch, TQvGen4AFPModes Type, TMathFuncsTypes Wave, int Fm) {
    Ch.SetMode(QGMdC_IntModulation);
    Ch.IntModulation.SetType(Type);
    Ch.IntModulation.SetMathFuncType(Wave);
    Ch.IntModulation.SetFm(Fm);
    Ch.Set_sinAmplitude(60); // room for the default depth of 50 %
}

void Keying(TQvGen4Channel& Ch, TQvGen4DDSmodModes Mode, TQvGen4AFPModes Type, bool Ext) {
    Ch.SetMode(QGMdC_DDSMod);
    auto& d = Ch.DDSMod;
    d.SetMode(Mode);
    d.SetType(Type);
    d.SetUseExtTimes(Ext);
    d.SetF1(1000);
    d.SetF2(2000.5);
    d.SetF3(3000);
    d.SetF4(40000.25);
    d.SetPh1(0);
    d.SetPh2(90);
    d.SetPh3(180.5);
    d.SetPh4(271);
    d.SetT1(1000);
    d.SetT2(260);
    d.SetT3(20);
    d.SetT4(1300000);
}

void UserMode(TQvGen4Channel& Ch, TQvGen4AFPModes Type, TMathFuncsTypes Wave, bool Bidi,
              double Fm) {
    Ch.SetMode(QGMdC_DDSMod);
    auto& d = Ch.DDSMod;
    d.SetMode(QGTMs_User);
    d.SetType(Type);
    d.SetMathFuncType(Wave);
    d.SetContBidiRamp(Bidi);
    d.SetFm(Fm);
    d.Set_dF(25000);
    d.Set_dPh(45);
}

void Sweep(TQvGen4Channel& Ch, double Bottom, int Top, int Tinc0, int Tinc1, int Tdec0, int Tdec1) {
    Ch.SetMode(QGMdC_LFM);
    Ch.Set_sinFrequency(Bottom);
    Ch.LFM.SetFreqTop(Top);
    Ch.LFM.SetTinc0(Tinc0);
    Ch.LFM.SetTinc1(Tinc1);
    Ch.LFM.SetTdec0(Tdec0);
    Ch.LFM.SetTdec1(Tdec1);
}

void ExtMod(TQvGen4Channel& Ch, TQvGen4ModesCommon Mode, TQvGen4AFPModes Type, int Scale) {
    Ch.SetMode(Mode);
    Ch.ExtModulation.SetType(Type);
    Ch.ExtModulation.SetScale(Scale);
}

const auto In1 = [](TQvVirtualInstrument& I, double V) { I.SetInput1(QvConstantInput(V)); };
const auto In2 = [](TQvVirtualInstrument& I, double V) { I.SetInput2(QvConstantInput(V)); };

std::vector<TConfig> Configs() {
    std::vector<TConfig> c;
    c.push_back({"sine on both outputs",
                 [](TQvGen4& G) {
                     G.ChA.SetMode(QGMdC_gen);
                     G.ChA.Set_sinFrequency(123456.789);
                     G.ChA.Set_sinAmplitude(12.5);
                     G.ChA.SetPhase(359.99);
                     G.ChB.SetMode(QGMdC_gen);
                     G.ChB.Set_sinFrequency(400);
                 },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     ExpectOutput(G, I.Sample(QGCN_A, 0.3), Carrier(G.ChA));
                     ExpectOutput(G, I.Sample(QGCN_B, 0.3), Carrier(G.ChB));
                 }});
    c.push_back({"sine on B with an external reference of 10 MHz times 20",
                 [](TQvGen4& G) {
                     G.SetUseExtRefFreq(true);
                     G.SetRefFreq(10);
                     G.SetFreqScale(20);
                     G.ChB.SetMode(QGMdC_gen);
                     G.ChB.Set_sinFrequency(150000);
                 },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     EXPECT_DOUBLE_EQ(I.GeneratorClockMHz(), 200);
                     ExpectOutput(G, I.Sample(QGCN_B, 0), Carrier(G.ChB));
                 },
                 [](TQvVirtualInstrument& I) { I.SetExternalReferenceMHz(10); }});

    // Tuning: the ADC answer, decoded by the tuner, is what the output produces.
    for (const auto& tuned :
         {std::pair{QGAFPms_freq, 10}, {QGAFPms_ampl, 20}, {QGAFPms_phase, 19}}) {
        const TQvGen4AFPModes type = tuned.first;
        const int scale = tuned.second;
        c.push_back({"tuning",
                     [type, scale](TQvGen4& G) {
                         G.ChB.SetMode(QGMdC_tuning);
                         G.ChB.Set_sinAmplitude(40);
                         G.ChB.SetPhase(10);
                         G.ChB.Tuner.SetType(type);
                         G.ChB.Tuner.SetScale(scale);
                     },
                     [type, scale](TQvGen4& G, TQvVirtualInstrument& I) {
                         const auto adc = [](TQvVirtualInstrument& J, double V) {
                             J.SetAdcInput(QvConstantInput(V));
                         };
                         ExpectDepth(I, QGCN_B, type, scale, adc);
                         for (const double in : {0.0, IN1, -0.6}) {
                             adc(I, in);
                             G.ChB.Tuner.GetADCValue();
                             const auto s = I.Sample(QGCN_B, 0);
                             const double v = G.ChB.Tuner.ADCValue();
                             if (type == QGAFPms_freq) {
                                 EXPECT_NEAR(G.Conv_CodeToFreq(v), s.FrequencyHz, StepHz(G));
                             } else if (type == QGAFPms_ampl) {
                                 EXPECT_NEAR(G.Conv_CodeToAmpl(v), s.AmplitudePercent, AMPL_CODE);
                             } else {
                                 EXPECT_NEAR(AngleDiff(G.Conv_CodeToPhase(v), s.PhaseDeg), 0,
                                             PHASE_CODE);
                             }
                         }
                         adc(I, 0);
                         ExpectOutput(G, I.Sample(QGCN_B, 0), Carrier(G.ChB));
                     }});
    }

    // Internal modulation of each parameter by each waveform, alone, double and duplex.
    for (const TQvGen4AFPModes type : {QGAFPms_freq, QGAFPms_ampl, QGAFPms_phase}) {
        for (const TMathFuncsTypes wave : {QMFT_sin, QMFT_triangle, QMFT_rect}) {
            c.push_back({"internal modulation alone",
                         [type, wave](TQvGen4& G) {
                             IntMod(G.ChB, type, wave, 1000);
                             G.ChB.IntModulation.SetCC(0.25);
                             G.ChB.IntModulation.SetdF(150000);
                         },
                         [](TQvGen4& G, TQvVirtualInstrument& I) {
                             ExpectIntModulation(G, I, G.ChB, QGCN_B);
                         }});
        }
        c.push_back({"internal modulation double",
                     [type](TQvGen4& G) {
                         IntMod(G.ChA, type, QMFT_sin, 2000);
                         IntMod(G.ChB, QGAFPms_phase, QMFT_triangle, 300);
                         G.ChB.Set_sinFrequency(7000);
                     },
                     [](TQvGen4& G, TQvVirtualInstrument& I) {
                         EXPECT_EQ(I.Output(QGCN_B).IntMod.TableStart, 4096);
                         ExpectIntModulation(G, I, G.ChA, QGCN_A);
                         ExpectIntModulation(G, I, G.ChB, QGCN_B);
                     }});
        c.push_back({"internal modulation duplex",
                     [type](TQvGen4& G) {
                         G.Options.SetEnableDuplexIntMod(true);
                         IntMod(G.ChA, type, QMFT_triangle, 20000);
                         IntMod(G.ChB, type, QMFT_triangle, 20000);
                         G.ChB.Set_sinFrequency(3000);
                     },
                     [type](TQvGen4& G, TQvVirtualInstrument& I) {
                         ExpectIntModulation(G, I, G.ChA, QGCN_A);
                         // B's modulated parameter follows A's table word for word.
                         for (double t = 0; t < 1e-4; t += 3.7e-6) {
                             const auto a = I.Sample(QGCN_A, t);
                             const auto b = I.Sample(QGCN_B, t);
                             TExpected e = Carrier(G.ChB);
                             (type == QGAFPms_freq   ? e.Hz
                              : type == QGAFPms_ampl ? e.Percent
                                                     : e.Deg) = type == QGAFPms_freq ? a.FrequencyHz
                                                                : type == QGAFPms_ampl
                                                                    ? a.AmplitudePercent
                                                                    : a.PhaseDeg;
                             ExpectOutput(G, b, e);
                         }
                     }});
    }

    // External modulation in its four forms; input 1 at IN1, input 2 at IN2.
    c.push_back({"external modulation alone on A, frequency",
                 [](TQvGen4& G) { ExtMod(G.ChA, QGMdC_ExtModulation, QGAFPms_freq, 7); },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     ExpectDepth(I, QGCN_A, QGAFPms_freq, 7, In1);
                     In1(I, 0);
                     ExpectOutput(G, I.Sample(QGCN_A, 0), Carrier(G.ChA));
                 }});
    c.push_back({"external modulation alone on B, phase, from input 2",
                 [](TQvGen4& G) { ExtMod(G.ChB, QGMdC_ExtModulation, QGAFPms_phase, 17); },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     ExpectDepth(I, QGCN_B, QGAFPms_phase, 17, In2);
                     In2(I, 0);
                     ExpectOutput(G, I.Sample(QGCN_B, 0), Carrier(G.ChB));
                 }});
    c.push_back({"external modulation double",
                 [](TQvGen4& G) {
                     ExtMod(G.ChA, QGMdC_ExtModulation, QGAFPms_ampl, 19);
                     G.ChA.Set_sinAmplitude(70);
                     ExtMod(G.ChB, QGMdC_ExtModulation, QGAFPms_freq, 12);
                 },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     ExpectDepth(I, QGCN_A, QGAFPms_ampl, 19, In1);
                     ExpectDepth(I, QGCN_B, QGAFPms_freq, 12, In2);
                     ExpectOutput(G, I.Sample(QGCN_A, 0),
                                  Moved(Carrier(G.ChA), QGAFPms_ampl, IN1 * 25));
                 }});
    c.push_back({"external modulation of A from inputs 1 and 2",
                 [](TQvGen4& G) {
                     ExtMod(G.ChA, QGMdC_ExtModulationA12, QGAFPms_ampl, 20);
                     G.ChA.Set_sinAmplitude(40);
                     G.ChB.ExtModulation.SetScale(18);
                 },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     ExpectOutput(G, I.Sample(QGCN_A, 0),
                                  Moved(Carrier(G.ChA), QGAFPms_ampl, IN1 * 50 + IN2 * 12.5));
                 }});
    c.push_back({"external modulation of A and B from input 1",
                 [](TQvGen4& G) {
                     ExtMod(G.ChA, QGMdC_ExtModulationAB1, QGAFPms_phase, 18);
                     G.ChB.SetPhase(100);
                 },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     EXPECT_EQ(G.ChB.Mode(), QGMdC_ExtModulationAB1);
                     ExpectDepth(I, QGCN_A, QGAFPms_phase, 18, In1);
                     ExpectDepth(I, QGCN_B, QGAFPms_phase, 18, In1);
                     ExpectOutput(G, I.Sample(QGCN_B, 0),
                                  Moved(Carrier(G.ChB), QGAFPms_phase, IN1 * 45), 2);
                 }});

    // Sweeps, single and synchronised.
    c.push_back({"sweep on A", [](TQvGen4& G) { Sweep(G.ChA, 1000, 2000, 1000, 200, 500, 300); },
                 [](TQvGen4& G, TQvVirtualInstrument& I) { ExpectSweep(G, I, G.ChA); }});
    c.push_back({"sweep on B with a fractional bottom",
                 [](TQvGen4& G) { Sweep(G.ChB, 10000.5, 150000, 10, 10, 50000, 10); },
                 [](TQvGen4& G, TQvVirtualInstrument& I) { ExpectSweep(G, I, G.ChB); }});
    c.push_back({"synchronised sweep",
                 [](TQvGen4& G) {
                     Sweep(G.ChA, 5000, 6000, 300, 100, 300, 100);
                     Sweep(G.ChB, 5500, 6500, 300, 100, 300, 100);
                 },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     ExpectSweep(G, I, G.ChA);
                     ExpectSweep(G, I, G.ChB);
                 }});

    // Keying: the four modes with fixed and external times.
    for (const auto mode : {QGTMs_BxSK, QGTMs_QxSK}) {
        for (const auto type : {QGAFPms_freq, QGAFPms_phase}) {
            c.push_back({"keying with fixed times",
                         [mode, type](TQvGen4& G) { Keying(G.ChA, mode, type, false); },
                         [](TQvGen4& G, TQvVirtualInstrument& I) { ExpectKeying(G, I, G.ChA); }});
            c.push_back(
                {"keying with external times",
                 [mode, type](TQvGen4& G) { Keying(G.ChB, mode, type, true); },
                 [](TQvGen4& G, TQvVirtualInstrument& I) { ExpectExternalKeying(G, I, G.ChB); }});
        }
    }

    // The user mode of both parameters, both waveform kinds and both playbacks.
    c.push_back({"user mode, frequency, sine, whole period",
                 [](TQvGen4& G) { UserMode(G.ChA, QGAFPms_freq, QMFT_sin, false, 3000); },
                 [](TQvGen4& G, TQvVirtualInstrument& I) { ExpectUserMode(G, I, G.ChA); }});
    c.push_back({"user mode, frequency, sine, up and down",
                 [](TQvGen4& G) { UserMode(G.ChB, QGAFPms_freq, QMFT_sin, true, 3000); },
                 [](TQvGen4& G, TQvVirtualInstrument& I) { ExpectUserMode(G, I, G.ChB); }});
    c.push_back({"user mode, phase, triangle",
                 [](TQvGen4& G) {
                     UserMode(G.ChA, QGAFPms_phase, QMFT_triangle, true, 7000);
                     G.ChA.DDSMod.SetCC(0.3);
                 },
                 [](TQvGen4& G, TQvVirtualInstrument& I) { ExpectUserMode(G, I, G.ChA); }});
    c.push_back({"user mode on both outputs, rectangle",
                 [](TQvGen4& G) {
                     UserMode(G.ChA, QGAFPms_freq, QMFT_rect, false, 200);
                     UserMode(G.ChB, QGAFPms_phase, QMFT_rect, false, 1500000);
                 },
                 [](TQvGen4& G, TQvVirtualInstrument& I) {
                     ExpectUserMode(G, I, G.ChA);
                     ExpectUserMode(G, I, G.ChB);
                 }});
    return c;
}

} // namespace

TEST(EndToEnd, TheInstrumentDoesWhatTheChannelsSay) {
    for (const auto& config : Configs()) {
        SCOPED_TRACE(config.Name);
        TBytes session; // outlives the generator, whose destruction still writes a frame
        TGenOnInstrument g;
        g.Gen->SetLink(std::make_unique<TTapLink>(QvMakeVirtualLink(g.Instr), session));
        g.Instr->SetInput1(QvConstantInput(IN1));
        g.Instr->SetInput2(QvConstantInput(IN2));
        g.Instr->SetAdcInput(QvConstantInput(IN1));
        if (config.Bench) {
            config.Bench(*g.Instr);
        }
        g.Gen->SetAutoUpdate(false);
        config.Setup(*g.Gen);
        g.Gen->SetActive(true);
        g.Gen->SetAutoUpdate(true); // one update cycle
        ASSERT_TRUE(g.Gen->Active());
        EXPECT_EQ(g.Instr->ProtocolErrorCount(), 0u);
        for (const TQvGen4Channel* ch : {static_cast<TQvGen4Channel*>(&g.Gen->ChA),
                                         static_cast<TQvGen4Channel*>(&g.Gen->ChB)}) {
            EXPECT_EQ(g.Instr->Output(ch->ChannelType()).On, ch->Mode() != QGMdC_off);
        }
        config.Check(*g.Gen, *g.Instr);
        // The same session, byte by byte and in one block, leaves the same state.
        for (const std::size_t chunk : {std::size_t{1}, session.size()}) {
            TQvVirtualInstrument replay;
            if (config.Bench) {
                config.Bench(replay);
            }
            Feed(replay, session, chunk);
            EXPECT_EQ(replay.SnapshotJson(), g.Instr->SnapshotJson()) << "chunk " << chunk;
        }
        if (::testing::Test::HasFailure()) {
            for (const auto& line : g.Instr->MonitorText()) {
                std::printf("  %s\n", line.c_str());
            }
            return;
        }
    }
}
