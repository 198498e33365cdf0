// The port operations: pauses, failures and their reports, and silence while inactive.
#include "QvGen4Errors.h"
#include "QvGen4Fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;

namespace {

struct TEventLog {
    std::vector<std::string> Events;
    void Attach(TQvGen4& Gen) {
        Gen.OnFTError = [this](TQvGen4& g) {
            Events.push_back("FTError " + std::to_string(g.Status()));
        };
        Gen.OnChangeActiveState = [this](TQvGen4& g) {
            Events.push_back(std::string("ActiveState ") + (g.Active() ? "on" : "off"));
        };
        Gen.AfterUpdate = [this](TQvGen4&) { Events.push_back("AfterUpdate"); };
    }
};

} // namespace

TEST(Link, ActivationWithALinkThatFailsToOpen) {
    TEventLog log; // outlives the generator, whose destruction still raises events
    TGenOnRecorder r;
    log.Attach(*r.Gen);
    r.Link->SetOpenStatus(FT_DEVICE_NOT_FOUND);
    r.Gen->ChA.SetMode(QGMdC_gen);
    r.Gen->SetActive(true);
    EXPECT_FALSE(r.Gen->Active());
    EXPECT_EQ(r.Gen->Status(), FT_DEVICE_NOT_FOUND);
    EXPECT_THAT(log.Events, ElementsAre("FTError 2", "ActiveState off"));
    EXPECT_TRUE(r.Link->Writes().empty());
}

TEST(Link, NoLinkAtAllBehavesAsNoDevice) {
    TQvGen4 gen(nullptr, std::make_unique<TQvGen4ManualTicks>());
    gen.SetActive(true);
    EXPECT_FALSE(gen.Active());
    EXPECT_EQ(gen.Status(), FT_DEVICE_NOT_FOUND);
}

TEST(Link, ActivationTwiceAndDeactivation) {
    TEventLog log; // outlives the generator, whose destruction still raises events
    TGenOnRecorder r;
    r.Gen->SetActive(true);
    log.Attach(*r.Gen);
    r.Gen->SetActive(true); // already active: nothing at all
    EXPECT_TRUE(log.Events.empty());
    EXPECT_EQ(r.Link->OpenCount(), 1);

    r.Link->ClearWrites();
    r.Gen->SetActive(false);
    EXPECT_THAT(r.Lines(), ElementsAre("F0 00 00 00 00 00"));
    EXPECT_EQ(r.Link->CloseCount(), 1);
    EXPECT_FALSE(r.Link->IsOpen());
    EXPECT_FALSE(r.Gen->Active());
    EXPECT_THAT(log.Events, ElementsAre("ActiveState off"));
}

TEST(Link, FailedDeactivation) {
    {
        TEventLog log; // outlives the generator, whose destruction still raises events
        TGenOnRecorder r;
        r.Gen->SetActive(true);
        log.Attach(*r.Gen);
        r.Link->SetCloseStatus(FT_IO_ERROR);
        r.Gen->SetActive(false);
        EXPECT_TRUE(r.Gen->Active());
        EXPECT_THAT(log.Events, ElementsAre("FTError 4", "ActiveState on"));
    }
    {
        // The reset frame fails (the instrument was pulled out): the port is closed all the
        // same, the host hears of the new state, and the error still reaches it.
        TEventLog log;
        TGenOnRecorder r;
        r.Gen->SetActive(true);
        log.Attach(*r.Gen);
        r.Link->FailWrite(r.Link->Writes().size(), FT_IO_ERROR);
        EXPECT_THROW(r.Gen->SetActive(false), EQvGen4Error);
        EXPECT_FALSE(r.Gen->Active());
        EXPECT_FALSE(r.Link->IsOpen());
        EXPECT_EQ(r.Link->CloseCount(), 1);
        EXPECT_THAT(log.Events, ElementsAre("FTError 4", "ActiveState off"));
        // Connecting again works once the instrument is back.
        r.Gen->SetActive(true);
        EXPECT_TRUE(r.Gen->Active());
    }
}

TEST(Link, FailedAndShortWrites) {
    struct TCase {
        const char* Name;
        FT_STATUS Status;
        std::optional<std::uint32_t> Written;
    };
    const TCase cases[] = {
        {"failed", FT_IO_ERROR, std::nullopt},
        {"short with FT_OK", FT_OK, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TEventLog log;
        TGenOnRecorder r;
        r.Gen->SetAutoUpdate(false);
        r.Gen->ChA.SetMode(QGMdC_gen);
        r.Gen->SetActive(true); // nothing written yet
        log.Attach(*r.Gen);
        r.Link->FailWrite(2, c.Status, c.Written); // F0, F1, then the frequency frame
        const auto before = r.Ticks->GetTickCount();
        try {
            r.Gen->SetAutoUpdate(true);
            FAIL() << "no exception";
        } catch (const EQvGen4Error& e) {
            EXPECT_STREQ(e.what(), "Ошибка при записи команды в FTPort");
        }
        EXPECT_EQ(r.Gen->Status(), c.Status);
        EXPECT_THAT(log.Events, ElementsAre("FTError " + std::to_string(c.Status)));
        EXPECT_TRUE(r.Gen->Active());
        EXPECT_EQ(r.Link->Writes().size(), 3u); // F0 F1 and the failed 04; nothing after it
        EXPECT_GE(r.Ticks->GetTickCount() - before, 3u * TQvGen4::RESPONSE_PAUSE_MS)
            << "the failed frame still pauses";
    }
}

TEST(Link, DataBlockAndReadFailures) {
    TEventLog log;
    TGenOnRecorder r;
    r.Gen->SetActive(true);
    log.Attach(*r.Gen);
    const std::uint8_t block[4] = {1, 2, 3, 4};
    r.Link->FailWrite(r.Link->Writes().size(), FT_OK, 2);
    const auto t0 = r.Ticks->GetTickCount();
    try {
        r.Gen->WriteBytesToFTPort(block, 4);
        FAIL();
    } catch (const EQvGen4Error& e) {
        EXPECT_STREQ(e.what(), "Ошибка при записи данных в FTPort");
    }
    EXPECT_EQ(r.Ticks->GetTickCount(), t0) << "no pause after a data block";

    std::uint8_t answer[4];
    r.Link->QueueRead({0x12, 0x34});
    try {
        r.Gen->ReadBytesFromFTPort(answer, 4);
        FAIL();
    } catch (const EQvGen4Error& e) {
        EXPECT_STREQ(e.what(), "Ошибка при чтении данных из FTPort");
    }
    r.Link->SetReadStatus(FT_IO_ERROR);
    EXPECT_THROW(r.Gen->ReadBytesFromFTPort(answer, 4), EQvGen4Error);
    EXPECT_EQ(r.Gen->Status(), FT_IO_ERROR);
    EXPECT_THAT(log.Events, ElementsAre("FTError 0", "FTError 0", "FTError 4"));
    EXPECT_TRUE(r.Gen->Active());
}

TEST(Link, ReadsTheRequestedBytes) {
    TGenOnRecorder r;
    r.Gen->SetActive(true);
    r.Link->QueueRead({0x12, 0x34, 0x56, 0x78});
    std::uint8_t answer[4] = {};
    EXPECT_TRUE(r.Gen->ReadBytesFromFTPort(answer, 4));
    EXPECT_EQ(answer[3], 0x78);
}

TEST(Link, EverythingIsSilentWhileInactive) {
    TEventLog log; // outlives the generator, whose destruction still raises events
    TGenOnRecorder r;
    log.Attach(*r.Gen);
    int waits = 0;
    r.Gen->OnGenResponseWait = [&](TQvGen4&) { ++waits; };
    std::uint8_t bytes[4] = {};
    EXPECT_FALSE(r.Gen->WriteCmdFTPort(TQvGen4Cmd(QGCN_A, QGC_Reset)));
    EXPECT_FALSE(r.Gen->WriteBytesToFTPort(bytes, 4));
    EXPECT_FALSE(r.Gen->ReadBytesFromFTPort(bytes, 4));
    r.Gen->UpdateMode();
    EXPECT_TRUE(r.Link->Writes().empty());
    EXPECT_TRUE(log.Events.empty());
    EXPECT_EQ(waits, 0);
    EXPECT_EQ(r.Ticks->GetTickCount(), 0u);
}

TEST(Link, EveryFramePausesAtLeast20msAndRaisesTheWaitEvent) {
    TGenOnRecorder r;
    r.Gen->SetActive(true);
    std::vector<std::uint32_t> waitTimes;
    r.Gen->OnGenResponseWait = [&](TQvGen4&) { waitTimes.push_back(r.Ticks->GetTickCount()); };
    r.Gen->ChA.SetMode(QGMdC_gen);
    r.Gen->ChB.SetMode(QGMdC_gen);
    r.Link->ClearWrites();
    waitTimes.clear();
    const auto t0 = r.Ticks->GetTickCount();
    r.Gen->UpdateMode();
    const auto frames = r.Link->Writes().size();
    ASSERT_EQ(frames, 10u);
    EXPECT_GE(r.Ticks->GetTickCount() - t0, frames * 20);
    // At least one wait event inside each frame's 20 ms window.
    for (std::size_t i = 0; i < frames; ++i) {
        const auto from = t0 + 20 * i;
        EXPECT_TRUE(std::any_of(waitTimes.begin(), waitTimes.end(),
                                [&](std::uint32_t t) { return t >= from && t < from + 20; }))
            << "frame " << i;
    }
}

TEST(Link, WaitEventRaisedEvenWhenThePauseIsAlreadyOver) {
    // A tick source whose every reading is 25 ms later than the one before.
    struct TJumpyTicks : TQvGen4TickSource {
        std::uint32_t Now = 0xFFFFFFF0u; // also crosses the 32-bit wrap
        std::uint32_t GetTickCount() override { return Now += 25; }
        void Sleep(std::uint32_t) override { ADD_FAILURE() << "slept after the pause was over"; }
    };
    int waits = 0;
    auto link = std::make_unique<TQvRecordingLink>();
    TQvGen4 gen(std::move(link), std::make_unique<TJumpyTicks>());
    gen.SetActive(true);
    gen.OnGenResponseWait = [&](TQvGen4&) { ++waits; };
    gen.ResetGen();
    EXPECT_EQ(waits, 1);
}
