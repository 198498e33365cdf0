// What each frame and data block does to the instrument, and the monitor line that says so.
#include "QvVirtualInstrument.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// A number with a decimal comma, as the operator reads it.
std::string Num(double Value, int Decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", Decimals, Value);
    for (char* c = buf; *c; ++c) {
        if (*c == '.') {
            *c = ',';
        }
    }
    return buf;
}

std::string Hex(std::uint32_t Value, int Digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", Digits, Value);
    return buf;
}

const char* OutputName(TQvGen4ChNames Out) {
    return Out == QGCN_B ? "B" : "A";
}

std::uint32_t U32(const std::uint8_t* b) {
    return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
}
std::uint16_t U16(const std::uint8_t* b) {
    return static_cast<std::uint16_t>(b[0] << 8 | b[1]);
}
std::uint32_t U24(const std::uint8_t* b) {
    return std::uint32_t{b[0]} << 16 | std::uint32_t{b[1]} << 8 | b[2];
}

// The parameter selector of the start frames: 3 frequency, 1 amplitude, 2 phase.
std::optional<TQvGen4AFPModes> Selector(std::uint8_t Value) {
    switch (Value) {
    case 3:
        return QGAFPms_freq;
    case 1:
        return QGAFPms_ampl;
    case 2:
        return QGAFPms_phase;
    default:
        return std::nullopt;
    }
}

const char* ParamGenitive(TQvGen4AFPModes P) {
    switch (P) {
    case QGAFPms_ampl:
        return "амплитуды";
    case QGAFPms_phase:
        return "фазы";
    default:
        return "частоты";
    }
}

void StopModes(TQvOutputState& Out) {
    Out.Tuning.Active = false;
    Out.IntMod.Running = false;
    Out.IntMod.Prepared = false;
    Out.ExtMod.Running = false;
}

} // namespace

namespace {

std::string DepthText(const TQvVirtualInstrument& I, TQvGen4AFPModes P, std::uint8_t Scale) {
    const double codes = QvDepthCodes(P, Scale);
    switch (P) {
    case QGAFPms_ampl:
        return "±" + Num(codes * 100.0 / 16384, 3) + " %";
    case QGAFPms_phase:
        return "±" + Num(codes * 360.0 / 16384, 3) + "°";
    default:
        return "±" + Num(codes * I.GeneratorClockMHz() * 1e6 / 4294967296.0, 3) + " Гц";
    }
}

std::string ModText(const TQvVirtualInstrument& I, TQvGen4AFPModes P, std::uint8_t Scale) {
    return std::string(ParamGenitive(P)) + ", масштаб " + std::to_string(Scale) + " (" +
           DepthText(I, P, Scale) + ")";
}

std::string IntModText(std::uint16_t Divider, TQvGen4AFPModes P, std::size_t Readings) {
    const double rate = TQvVirtualInstrument::TIMER_HZ / (65536.0 - Divider);
    std::string s = std::string(ParamGenitive(P)) + ", делитель " + std::to_string(Divider) + " (" +
                    Num(rate, 1) + " отсчётов/с";
    if (Readings) {
        s += ", " + std::to_string(Readings) + " отсчётов → " + Num(rate / Readings, 3) + " Гц";
    }
    return s + ")";
}

std::size_t TableReadings(const TQvIntModState& M) {
    return M.TableBytes / (M.Parameter == QGAFPms_freq ? 4 : 2);
}

std::string ProfileText(const TQvProfile& P) {
    std::string s = "шаг " + std::to_string(P.StepTime) + " × 10 нс, слова " +
                    std::to_string(P.Start) + "–" + std::to_string(P.End);
    switch (P.Playback) {
    case 0x80:
        s += ", по кругу";
        break;
    case 0x60:
        s += ", вниз и вверх";
        break;
    case 0x00:
        s += ", символ (" + Num(P.StepTime * 10.0 * (P.End - P.Start + 1), 0) + " нс)";
        break;
    default:
        s += ", режим " + Hex(P.Playback, 2);
    }
    return s;
}

} // namespace

void TQvVirtualInstrument::ApplyFrame(const TQvStreamItem& Item) {
    const std::uint8_t* f = Item.Bytes.data();
    const std::size_t size = Item.Bytes.size();
    if (Item.Kind == TQvStreamItem::UnknownCode) {
        ProtocolError(Item.Offset, "—", "неизвестный код " + Hex(f[0], 2), Item.Bytes);
        return;
    }
    if (Item.Kind == TQvStreamItem::BadHeader) {
        ProtocolError(Item.Offset, f[0] == 0x21 ? "B" : "A",
                      "конец блока раньше начала: " + std::to_string(U16(f + 1)) + "–" +
                          std::to_string(U16(f + 3)),
                      Item.Bytes);
        return;
    }
    const TQvFrameCode code = *QvDecodeCode(f[0]);
    const TQvGen4ChNames outName = code.Output.value_or(QGCN_A);
    TQvOutputState& out = FState[outName];
    TQvOutputState& a = FState[QGCN_A];
    TQvOutputState& b = FState[QGCN_B];
    const std::uint8_t* p = f + 1; // parameter bytes 1 to 5 at p[0] to p[4]
    std::string ch = code.Output ? OutputName(*code.Output) : "—";
    std::string text;
    const auto reject = [&](const std::string& Why) {
        ProtocolError(Item.Offset, ch, Why, Item.Bytes);
    };

    switch (code.Base) {
    case QGC_Reset:
        PowerOn();
        text = "Сброс прибора";
        break;
    case QGC_OutputOn:
    case QGC_OutputOff:
        out.On = code.Base == QGC_OutputOn;
        text = out.On ? "Выход включён" : "Выход выключен";
        break;
    case QGC_Frequency:
        out.FreqWord = U32(p);
        text = "Частота несущей: " + Num(WordToHz(out.FreqWord), 3) + " Гц (" +
               Hex(out.FreqWord, 8) + ")";
        break;
    case QGC_Amplitude:
        out.AmplWord = U16(p);
        text = "Амплитуда: " + Num(CodeToPercent(out.AmplWord), 3) + " % (код " +
               std::to_string(out.AmplWord) + ")";
        break;
    case QGC_Phase:
        out.PhaseWord = U16(p);
        text = "Фаза: " + Num(CodeToDegrees(out.PhaseWord), 3) + "° (код " +
               std::to_string(out.PhaseWord) + ")";
        break;
    case QGC_FreqScale:
        FState.Multiplier = p[0];
        FState.ExternalReference = true;
        text = "Внешний опорный " + Num(FExtRefMHz, 3) + " МГц × " + std::to_string(p[0]) +
               " = тактовая " + Num(GeneratorClockMHz(), 3) + " МГц";
        break;
    case QGC_UpdateDDSs:
        text = "Обновление синтезаторов";
        break;
    case QGC_NoUpdateDDSs:
        text = "Обновление синтезатора";
        break;
    case QGC_Control: {
        std::copy(p, p + 5, out.Control.begin());
        StopModes(out);
        out.Sweep.Started = false;
        out.Memory.ExternalTimes = false;
        FLastControlled = outName;
        text = "Управление " + Hex(p[0], 2) + " " + Hex(p[1], 2) + ":";
        if (out.MemoryEnabled()) {
            text += std::string(" ОЗУ ЦВС → ") + (out.MemoryToPhase() ? "фаза" : "частота");
            const int prog = out.KeyingProgram();
            text += prog == 2   ? ", манипуляция 2 символа"
                    : prog == 3 ? ", манипуляция 4 символа"
                                : ", без перебора символов";
        }
        if (out.SweepEnabled()) {
            text += " ЛЧМ";
        }
        if (!out.MemoryEnabled() && !out.SweepEnabled()) {
            text += " обычный режим";
        }
        break;
    }
    case QGC_SweepTop:
        out.Sweep.TopWord = U32(p);
        text = "Верхняя частота ЛЧМ: " + Num(WordToHz(out.Sweep.TopWord), 3) + " Гц (" +
               Hex(out.Sweep.TopWord, 8) + ")";
        break;
    case QGC_Ramp0:
    case QGC_Ramp1:
    case QGC_Symbol2:
    case QGC_Symbol3: {
        const int index = code.Base - QGC_Ramp0;
        if (index < 2 && !out.MemoryEnabled()) {
            TQvRamp& ramp = index == 0 ? out.Sweep.Fall : out.Sweep.Rise;
            ramp.Rate = p[0];
            ramp.Step = U32(p + 1);
            const int ticks = (ramp.Rate + 255) & 0xFF;
            text = std::string(index == 0 ? "Спад" : "Нарастание") + " ЛЧМ: +" +
                   std::to_string(ramp.Step) + " к слову каждые " + std::to_string(ticks) +
                   " × 10 нс";
            if (ticks) {
                text += " (" + Num(ramp.Step * GeneratorClockMHz() * 1e6 / 4294967296.0, 3) +
                        " Гц за " + std::to_string(ticks * 10) + " нс)";
            }
            break;
        }
        TQvProfile& prof = out.Memory.Profiles[static_cast<std::size_t>(index)];
        prof.Set = true;
        prof.StepTime = static_cast<std::uint16_t>(p[0] | p[1] << 8);
        prof.End = static_cast<std::uint16_t>(p[2] | (p[3] & 3) << 8);
        prof.Start = static_cast<std::uint16_t>(p[3] >> 2);
        prof.Playback = p[4];
        text = "Сегмент " + std::to_string(index) + " ОЗУ ЦВС: " + ProfileText(prof);
        break;
    }
    case QGC_TableHeader:
        if (outName == QGCN_A) {
            text = "Заголовок таблицы ОЗУ МК: " + std::to_string(U16(p)) + " байт с адреса 0";
        } else {
            text = "Заголовок таблицы ОЗУ МК: адреса " + std::to_string(U16(p)) + "–" +
                   std::to_string(U16(p + 2)) + " (" + std::to_string(U16(p + 2) - U16(p)) +
                   " байт)";
        }
        break;
    case QGC_DDSMemHeader:
        text = "Заголовок блока ОЗУ ЦВС: " + std::to_string(U16(p)) + " байт в сегмент " +
               std::to_string(out.Memory.Selected) + " (с слова " +
               std::to_string(out.Memory.Profiles[out.Memory.Selected].Start) + ")";
        break;
    case QGC_CentreValue:
        out.CentreWord = U32(p);
        text = "Центральное значение: " + Hex(out.CentreWord, 8) + " (как частота " +
               Num(WordToHz(out.CentreWord), 3) + " Гц; как код " + std::to_string(out.Centre16()) +
               ")";
        break;
    case QGC_SymbolSelect:
        if (p[0] > 1 || p[1] > 1) {
            reject("номер сегмента вне 0–3");
            return;
        }
        out.Memory.Selected = static_cast<std::uint8_t>(p[0] << 1 | p[1]);
        text = "Выбор сегмента ОЗУ ЦВС: " + std::to_string(out.Memory.Selected);
        break;
    case QGC_TuneFreq:
    case QGC_TuneAmpl:
    case QGC_TunePhase: {
        const TQvGen4AFPModes param = code.Base == QGC_TuneFreq   ? QGAFPms_freq
                                      : code.Base == QGC_TuneAmpl ? QGAFPms_ampl
                                                                  : QGAFPms_phase;
        StopModes(out);
        out.Tuning = {true, param, p[0]};
        text = "Подстройка " + ModText(*this, param, p[0]) + " от АЦП";
        break;
    }
    case QGC_SweepStart: {
        std::string who;
        for (const TQvGen4ChNames o : {QGCN_A, QGCN_B}) {
            TQvOutputState& s = FState[o];
            if (s.SweepEnabled() && !s.MemoryEnabled()) {
                s.Sweep.Started = true;
                who += who.empty() ? OutputName(o) : std::string(" и ") + OutputName(o);
            }
        }
        text = who.empty() ? "Пуск ЛЧМ: ни один канал не настроен на ЛЧМ" : "Пуск ЛЧМ: " + who;
        break;
    }
    case QGC_SweepRise:
    case QGC_SweepFall: {
        const std::uint32_t v = U24(p);
        (code.Base == QGC_SweepRise ? FState.RiseHalf : FState.FallHalf) = v;
        text = std::string(code.Base == QGC_SweepRise ? "Нарастание и верх ЛЧМ: "
                                                      : "Спад и низ ЛЧМ: ") +
               std::to_string(v * 2) + " мкс";
        break;
    }
    case QGC_IntModStart:
    case QGC_IntModDoubleCmd:
    case QGC_IntModDuplex: {
        const auto param = Selector(p[3]);
        if (!param) {
            reject("неизвестный параметр модуляции " + std::to_string(p[3]));
            return;
        }
        TQvOutputState& target = code.Base == QGC_IntModDuplex ? a : out;
        const TQvIntModState keep = target.IntMod;
        StopModes(target);
        TQvIntModState& m = target.IntMod;
        m.TableStart = keep.TableStart;
        m.TableBytes = keep.TableBytes;
        m.Parameter = *param;
        m.Divider = U16(p);
        m.TimerByte = p[2];
        if (code.Base == QGC_IntModDoubleCmd) {
            m.Prepared = true;
            text = "Внутренняя модуляция " + IntModText(m.Divider, m.Parameter, TableReadings(m)) +
                   ": ждёт общего пуска";
        } else if (code.Base == QGC_IntModStart) {
            m.Running = true;
            m.Form = TQvStartForm::Single;
            text =
                "Пуск внутренней модуляции " + IntModText(m.Divider, m.Parameter, TableReadings(m));
        } else {
            m.Running = true;
            m.Form = TQvStartForm::Duplex;
            StopModes(b);
            b.IntMod = m; // B plays A's table with A's divider
            ch = "AB";
            text = "Пуск одинаковой внутренней модуляции A и B: " +
                   IntModText(m.Divider, m.Parameter, TableReadings(m));
        }
        break;
    }
    case QGC_IntModStop:
        out.IntMod.Running = false;
        out.IntMod.Prepared = false;
        text = "Стоп внутренней модуляции";
        break;
    case QGC_IntModDoubleStart: {
        ch = "AB";
        std::string who;
        for (const TQvGen4ChNames o : {QGCN_A, QGCN_B}) {
            TQvIntModState& m = FState[o].IntMod;
            if (m.Prepared) {
                m.Prepared = false;
                m.Running = true;
                m.Form = TQvStartForm::Double;
                who += who.empty() ? OutputName(o) : std::string(" и ") + OutputName(o);
            }
        }
        text = who.empty() ? "Общий пуск внутренней модуляции: нет подготовленных каналов"
                           : "Общий пуск внутренней модуляции: " + who;
        break;
    }
    case QGC_IntModDoubleStop:
        ch = "AB";
        for (TQvOutputState& o : FState.Outputs) {
            if (o.IntMod.Form == TQvStartForm::Double) {
                o.IntMod.Running = false;
            }
        }
        text = "Общий стоп внутренней модуляции";
        break;
    case QGC_ExtModStart:
    case QGC_ExtModA12:
    case QGC_ExtModDuplex: {
        const std::uint8_t sel = code.Base == QGC_ExtModA12 ? p[2] : p[1];
        const auto param = Selector(sel);
        if (!param) {
            reject("неизвестный параметр модуляции " + std::to_string(sel));
            return;
        }
        TQvOutputState& target = code.Base == QGC_ExtModStart ? out : a;
        StopModes(target);
        TQvExtModState& m = target.ExtMod;
        m.Running = true;
        m.Parameter = *param;
        m.Scale = p[0];
        m.ScaleInput2 = 0;
        if (code.Base == QGC_ExtModStart) {
            m.Form = TQvStartForm::Single;
            text = "Пуск внешней модуляции " + ModText(*this, m.Parameter, m.Scale) +
                   (outName == QGCN_A ? ", вход 1" : ", вход 2");
        } else if (code.Base == QGC_ExtModA12) {
            ch = "A";
            m.Form = TQvStartForm::A12;
            m.ScaleInput2 = p[1];
            text = "Пуск внешней модуляции A от входов 1 и 2: " +
                   ModText(*this, m.Parameter, m.Scale) +
                   "; вход 2: " + ModText(*this, m.Parameter, m.ScaleInput2);
        } else {
            ch = "AB";
            m.Form = TQvStartForm::AB1;
            StopModes(b);
            b.ExtMod = m;
            text =
                "Пуск внешней модуляции A и B от входа 1: " + ModText(*this, m.Parameter, m.Scale);
        }
        break;
    }
    case QGC_ExtModDouble: {
        const auto pa = Selector(p[1]);
        const auto pb = Selector(p[3]);
        ch = "AB";
        if (!pa || !pb) {
            reject("неизвестный параметр модуляции " + std::to_string(pa ? p[3] : p[1]));
            return;
        }
        StopModes(a);
        StopModes(b);
        a.ExtMod = {true, TQvStartForm::Double, *pa, p[0], 0};
        b.ExtMod = {true, TQvStartForm::Double, *pb, p[2], 0};
        text = "Пуск внешней модуляции обоих каналов: A — " + ModText(*this, *pa, p[0]) +
               ", вход 1; B — " + ModText(*this, *pb, p[2]) + ", вход 2";
        break;
    }
    case QGC_ExtTimes:
        if (FLastControlled) {
            FState[*FLastControlled].Memory.ExternalTimes = true;
            ch = OutputName(*FLastControlled);
            text = "Символы манипуляции переключают внешние входы";
        } else {
            text = "Внешнее переключение символов: нет канала с ОЗУ ЦВС";
        }
        break;
    case QGC_ADCQuery: {
        const std::uint32_t v = AdcAnswer();
        FAnswer.clear();
        for (int shift = 24; shift >= 0; shift -= 8) {
            FAnswer.push_back(static_cast<std::uint8_t>(v >> shift));
        }
        text = "Запрос АЦП → " + Hex(v, 8);
        break;
    }
    default:
        text = "Кадр " + Hex(f[0], 2);
        break;
    }
    Log(ch, text, f, size);
}

void TQvVirtualInstrument::ApplyBlock(const TQvStreamItem& Item) {
    const auto& h = Item.Header;
    const TQvFrameCode code = *QvDecodeCode(h[0]);
    const TQvGen4ChNames outName = code.Output.value_or(QGCN_A);
    TQvOutputState& out = FState[outName];
    const std::string ch = OutputName(outName);
    const std::size_t n = Item.Bytes.size();
    const auto reject = [&](const std::string& Why) {
        std::vector<std::uint8_t> bytes(h.begin(), h.end());
        bytes.insert(bytes.end(), Item.Bytes.begin(), Item.Bytes.end());
        ProtocolError(Item.Offset, ch, Why, std::move(bytes));
    };
    std::string text;
    if (code.Base == QGC_TableHeader) {
        const std::size_t start = outName == QGCN_A ? 0 : (std::size_t{h[1]} << 8 | h[2]);
        if (start + n > TQvInstrumentState::MCU_MEMORY) {
            reject("таблица не помещается в ОЗУ МК: " + std::to_string(start) + "+" +
                   std::to_string(n) + " байт");
            return;
        }
        std::copy(Item.Bytes.begin(), Item.Bytes.end(), FState.McuMemory.begin() + start);
        out.IntMod.TableStart = static_cast<std::uint16_t>(start);
        out.IntMod.TableBytes = static_cast<std::uint16_t>(n);
        text = "Таблица ОЗУ МК: " + std::to_string(n) + " байт с адреса " + std::to_string(start);
    } else {
        const std::size_t word = out.Memory.Profiles[out.Memory.Selected].Start;
        if (word * 4 + n > out.Memory.Bytes.size()) {
            reject("блок не помещается в ОЗУ ЦВС: слово " + std::to_string(word) + "+" +
                   std::to_string(n) + " байт");
            return;
        }
        std::copy(Item.Bytes.begin(), Item.Bytes.end(), out.Memory.Bytes.begin() + word * 4);
        text = "Блок ОЗУ ЦВС: " + std::to_string(n / 4) + " слов с адреса " + std::to_string(word);
        if (n >= 4) {
            text += ", первое " + Hex(out.Memory.Word(word), 8);
        }
    }
    Log(ch, text, Item.Bytes.data(), n);
}
