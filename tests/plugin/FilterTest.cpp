// The filter object driven directly, with the test program in place of the application.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "TestHost.h"
#include "TestSupport.h"
#include "plugin/ExternalPhotoshopFilter.h"
#include "plugin/PiPL.h"

namespace {


bool IsZero(const filter::TRect16& r) { return r.top == 0 && r.left == 0 && r.bottom == 0 && r.right == 0; }

class FilterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TTestHost::AdvanceCalls = 0;
    TTestHost::FailAdvanceAt = 0;
  }
  void TearDown() override { TTestHost::Current = nullptr; }

  int16_t Run(TTestHost& host, const std::string& action, int exitCode = 0) {
    TTestHost::Current = &host;
    TScopedEnv a("QM_EDITOR_ACTION", action);
    TScopedEnv e("QM_EDITOR_EXIT", std::to_string(exitCode));
    TScopedEnv r("QM_EDITOR_RECORD", Records.Path + "/record");
    return Filter->Start(host.Block.get());
  }

  TTempFolder Records;
  TTempFolder Temp;
  TScopedEnv TmpDir{"TMPDIR", Temp.Path};
  TMessageCapture Capture;
  std::unique_ptr<TExternalPhotoshopFilter> Filter =
      TExternalPhotoshopFilter::Create(QM_TEST_EDITOR, "Text", "Caption");
};

}  // namespace

TEST_F(FilterTest, RequestsAskForTheFilteredRectangleAndClearTheOthers) {
  TTestHost host(160, 90, 4, 160 * 4 + 12);
  host.SetFilterRect(100, 50, 130, 70);
  host.Block->maskRect = filter::TRect16{1, 2, 3, 4};
  TTestHost::Current = &host;
  TWKExchangeHeader h;
  const uint8_t* in = nullptr;
  ASSERT_TRUE(TPhotoshopFilter::RequestInput(host.Block.get(), h, in));
  EXPECT_TRUE(IsZero(host.Block->maskRect));
  EXPECT_TRUE(IsZero(host.Block->outRect));
  EXPECT_EQ(100, host.Block->inRect.left);
  EXPECT_EQ(70, host.Block->inRect.bottom);
  EXPECT_EQ(0, host.Block->inLoPlane);
  EXPECT_EQ(3, host.Block->inHiPlane);
  EXPECT_EQ(host.At(100, 50), in);
  EXPECT_EQ(32, h.HeaderSize);
  EXPECT_EQ(3, h.Mode);
  EXPECT_EQ(100, h.Left);
  EXPECT_EQ(50, h.Top);
  EXPECT_EQ(30, h.Width);
  EXPECT_EQ(20, h.Height);
  EXPECT_EQ(160 * 4 + 12, h.RowBytes);
  EXPECT_EQ(4, h.PixelBytes);

  uint8_t* out = nullptr;
  ASSERT_TRUE(TPhotoshopFilter::RequestOutput(host.Block.get(), h, out));
  EXPECT_TRUE(IsZero(host.Block->inRect));
  EXPECT_EQ(130, host.Block->outRect.right);
  EXPECT_EQ(3, host.Block->outHiPlane);
  EXPECT_EQ(host.At(100, 50), out);

  TPhotoshopFilter::ClearRequests(host.Block.get());
  EXPECT_TRUE(IsZero(host.Block->outRect));

  host.Block->advanceState = nullptr;
  EXPECT_FALSE(TPhotoshopFilter::RequestInput(host.Block.get(), h, in));
}

TEST_F(FilterTest, RoundTripReplacesExactlyTheRectangleAndKeepsTransparency) {
  for (int planes : {3, 4}) {
    SCOPED_TRACE(planes);
    TTestHost host(160, 90, planes, 160 * planes + 5);
    host.SetFilterRect(100, 50, 131, 71);
    const std::vector<uint8_t> before = host.Snapshot();
    ASSERT_EQ(0, Run(host, "invert"));
    EXPECT_TRUE(Capture.Messages().empty());
    EXPECT_TRUE(Temp.Files().empty());  // the exchange file is gone
    for (int y = 0; y < 90; ++y)
      for (int x = 0; x < 160; ++x) {
        const size_t at = size_t(host.At(x, y) - host.Pixels.get());
        const bool inside = x >= 100 && x < 131 && y >= 50 && y < 71;
        for (int p = 0; p < planes; ++p) {
          const uint8_t expected = inside && p < 3 ? uint8_t(255 - before[at + p]) : before[at + p];
          ASSERT_EQ(expected, host.Pixels[at + p]) << x << "," << y << " plane " << p;
        }
      }
    EXPECT_TRUE(IsZero(host.Block->inRect));
    EXPECT_TRUE(IsZero(host.Block->outRect));
  }
  // One argument, the exchange file in the temporary folder, run in the program's folder.
  const std::string record = ReadTextFile(Records.Path + "/record");
  const std::string editor = QM_TEST_EDITOR;
  EXPECT_EQ(0u, record.find("1\n" + Temp.Path + "/PSP"));
  EXPECT_NE(std::string::npos, record.find("\n" + editor.substr(0, editor.rfind('/')) + "\n"));
}

TEST_F(FilterTest, WidthThreeWithRowBytesNineTakesTheApplicationsPaddedRows) {
  TTestHost host(3, 5, 3, 9);
  const std::vector<uint8_t> before = host.Snapshot();
  ASSERT_EQ(0, Run(host, "invert"));
  for (size_t i = 0; i < host.Size; ++i) ASSERT_EQ(uint8_t(255 - before[i]), host.Pixels[i]) << i;
}

TEST_F(FilterTest, CancelLeavesTheHostAndNoFile) {
  for (int code : {1, -1}) {
    TTestHost host(7, 5, 3, 21);
    const std::vector<uint8_t> before = host.Snapshot();
    EXPECT_EQ(-128, Run(host, "invert", code)) << code;
    EXPECT_EQ(before, host.Snapshot());
    EXPECT_TRUE(Temp.Files().empty());
    EXPECT_TRUE(Capture.Messages().empty());
    EXPECT_TRUE(IsZero(host.Block->inRect));
  }
}

TEST_F(FilterTest, ChangedSizeOrModeIsATransferError) {
  struct TCase {
    const char* action;
    const char* patch;
  } cases[] = {{"grow", ""}, {"invert", "Mode=4"}, {"invert", "Height=4"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.action) + " " + c.patch);
    TMessageCapture capture;
    TScopedEnv patch("QM_EDITOR_PATCH", std::string(c.patch));
    TTestHost host(7, 5, 4, 28);
    host.SetFilterRect(1, 0, 6, 5);
    const std::vector<uint8_t> before = host.Snapshot();
    EXPECT_EQ(-128, Run(host, c.action));
    EXPECT_EQ(before, host.Snapshot());
    ASSERT_EQ(1u, TMessageCapture::Messages().size());
    EXPECT_EQ("Transfer image data error.", TMessageCapture::Messages()[0].Text);
    EXPECT_EQ("Error", TMessageCapture::Messages()[0].Caption);
    EXPECT_EQ(TPluginMessageIcon::Error, TMessageCapture::Messages()[0].Icon);
    EXPECT_EQ(0x1234, TMessageCapture::Messages()[0].Window);
    EXPECT_TRUE(Temp.Files().empty());
  }
}

TEST_F(FilterTest, TruncatedAndHostileFilesAreRefusedInBounds) {
  // Host rows end exactly at the buffer's end, so any stray write or read is seen.
  const char* patches[] = {"HeaderSize=2147483000", "HeaderSize=-4", "RowBytes=2147483647", "RowBytes=-12",
                           "RowBytes=4", "PixelBytes=100000", "PixelBytes=0", "PixelBytes=-3"};
  for (const char* p : patches) {
    SCOPED_TRACE(p);
    TMessageCapture capture;
    TScopedEnv patch("QM_EDITOR_PATCH", std::string(p));
    TTestHost host(5, 4, 3, 15);
    const std::vector<uint8_t> before = host.Snapshot();
    EXPECT_EQ(-128, Run(host, "invert"));
    EXPECT_EQ(before, host.Snapshot());
    ASSERT_EQ(1u, TMessageCapture::Messages().size());
    EXPECT_EQ("Transfer image data error.", TMessageCapture::Messages()[0].Text);
  }
  // Shorter than declared (the application's rows are 16 bytes): refused with the message.
  for (const char* keep : {"99", "50", "36"}) {
    SCOPED_TRACE(keep);
    TMessageCapture capture;
    TScopedEnv size("QM_EDITOR_SIZE", std::string(keep));
    TTestHost host(5, 4, 3, 15);
    const std::vector<uint8_t> before = host.Snapshot();
    EXPECT_EQ(-128, Run(host, "invert"));
    EXPECT_EQ(before, host.Snapshot());
    EXPECT_EQ(1u, TMessageCapture::Messages().size());
  }
  // Emptied, or cut inside the header: no message.
  for (const char* keep : {"0", "20"}) {
    TMessageCapture capture;
    TScopedEnv size("QM_EDITOR_SIZE", std::string(keep));
    TTestHost host(5, 4, 3, 15);
    const std::vector<uint8_t> before = host.Snapshot();
    EXPECT_EQ(-128, Run(host, "invert"));
    EXPECT_EQ(before, host.Snapshot());
    EXPECT_TRUE(TMessageCapture::Messages().empty());
  }
  EXPECT_TRUE(Temp.Files().empty());
}

TEST_F(FilterTest, ApplicationThatCannotBeStartedNamesItsPath) {
  const std::string plain = Records.Path + "/plain.txt";
  WriteTextFile(plain, "not a program");
  struct TCase {
    std::string path;
    std::string message;
  } cases[] = {
      {"", "Execute application \"\" error: 2"},
      {"/nonexistent/quillmoor", "Execute application \"/nonexistent/quillmoor\" error: 2"},
      {plain, "Execute application \"" + plain + "\" error: 13"},
      {Temp.Path, "Execute application \"" + Temp.Path + "\" error: 13"},
  };
  for (const TCase& c : cases) {
    TMessageCapture capture;
    Filter = TExternalPhotoshopFilter::Create(c.path, "", "");
    TTestHost host(4, 4, 3, 12);
    const std::vector<uint8_t> before = host.Snapshot();
    EXPECT_EQ(-23, Run(host, "invert"));
    ASSERT_EQ(1u, TMessageCapture::Messages().size());
    EXPECT_EQ(c.message, TMessageCapture::Messages()[0].Text);
    EXPECT_EQ(before, host.Snapshot());
    EXPECT_TRUE(Temp.Files().empty());
  }
}

TEST_F(FilterTest, RefusedRequestsReportTheirMessages) {
  TTestHost host(4, 4, 3, 12);
  const std::vector<uint8_t> before = host.Snapshot();
  TTestHost::FailAdvanceAt = 1;
  EXPECT_EQ(-23, Run(host, "invert"));
  EXPECT_TRUE(IsZero(host.Block->inRect));
  TTestHost::AdvanceCalls = 0;
  TTestHost::FailAdvanceAt = 2;
  EXPECT_EQ(-128, Run(host, "invert"));
  ASSERT_EQ(2u, TMessageCapture::Messages().size());
  EXPECT_EQ("Get image data error.", TMessageCapture::Messages()[0].Text);
  EXPECT_EQ("Get out image data error.", TMessageCapture::Messages()[1].Text);
  EXPECT_EQ(before, host.Snapshot());
  EXPECT_TRUE(Temp.Files().empty());

  // A host that hands out no buffer, or rows shorter than the rectangle's pixels.
  TTestHost::FailAdvanceAt = 0;
  host.Block->planes = 5;  // 5 planes of 4 pixels do not fit rows of 12 bytes
  EXPECT_EQ(-23, Run(host, "invert"));
  EXPECT_EQ(before, host.Snapshot());
}

TEST_F(FilterTest, TemporaryFileThatCannotBeSizedIsDeleted) {
  struct rlimit old;
  ASSERT_EQ(0, ::getrlimit(RLIMIT_FSIZE, &old));
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &ignore, &previous);
  struct rlimit small = old;
  small.rlim_cur = 16;
  ASSERT_EQ(0, ::setrlimit(RLIMIT_FSIZE, &small));
  TTestHost host(4, 4, 3, 12);
  const int16_t result = Run(host, "invert");
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::sigaction(SIGXFSZ, &previous, nullptr);
  EXPECT_EQ(-23, result);
  ASSERT_EQ(1u, TMessageCapture::Messages().size());
  EXPECT_EQ("Create temp file error.", TMessageCapture::Messages()[0].Text);
  EXPECT_TRUE(Temp.Files().empty());
}

TEST_F(FilterTest, SelectorsRunTheirSlotsAndAboutShowsTheText) {
  TTestHost host(4, 4, 3, 12);
  for (int16_t s : {1, 2, 4, 5}) EXPECT_EQ(0, Filter->Dispatch(s, host.Block.get())) << s;
  EXPECT_EQ(-30100, Filter->Dispatch(6, host.Block.get()));
  EXPECT_EQ(-30100, Filter->Dispatch(-1, host.Block.get()));
  EXPECT_EQ(-30100, Filter->Dispatch(3, nullptr));
  filter::TPlatformData window{77};
  filter::TAboutRecord about{&window};
  EXPECT_EQ(0, Filter->Dispatch(0, &about));
  ASSERT_EQ(1u, TMessageCapture::Messages().size());
  EXPECT_EQ("Text", TMessageCapture::Messages()[0].Text);
  EXPECT_EQ("Caption", TMessageCapture::Messages()[0].Caption);
  EXPECT_EQ(77, TMessageCapture::Messages()[0].Window);
  EXPECT_EQ("About", TPhotoshopFilter::Create()->AboutCaption);
}

TEST_F(FilterTest, WorkingDirectoryIsTheApplicationsFolderUnlessSet) {
  Filter->WorkingDirectory.clear();
  Filter->SetApplicationPath("/opt/quill moor/bin/quillmoor");
  EXPECT_EQ("/opt/quill moor/bin", Filter->WorkingDirectory);
  Filter->SetApplicationPath("/usr/bin/other");
  EXPECT_EQ("/opt/quill moor/bin", Filter->WorkingDirectory);
  EXPECT_EQ("/usr/bin/other", Filter->ApplicationPath);
}

TEST(PiPL, PropertyListHasTheEightPropertiesInOrder) {
  const uint8_t* p = QuillmoorPiPL;
  const uint8_t* end = p + QuillmoorPiPLSize;
  auto u32 = [](const uint8_t* q) { return uint32_t(q[0]) | uint32_t(q[1]) << 8 | uint32_t(q[2]) << 16 | uint32_t(q[3]) << 24; };
  auto code = [](const uint8_t* q) { return std::string{char(q[3]), char(q[2]), char(q[1]), char(q[0])}; };
  ASSERT_EQ(1, p[0] | p[1] << 8);
  EXPECT_EQ(0u, u32(p + 2));
  ASSERT_EQ(8u, u32(p + 6));
  p += 10;
  std::vector<std::string> keys;
  std::vector<std::string> data;
  while (p < end) {
    ASSERT_LE(p + 16, end);
    EXPECT_EQ("8BIM", code(p));
    keys.push_back(code(p + 4));
    EXPECT_EQ(0u, u32(p + 8));
    const uint32_t length = u32(p + 12);
    ASSERT_LE(p + 16 + ((length + 3) & ~3u), end);
    data.emplace_back(reinterpret_cast<const char*>(p + 16), length);
    p += 16 + ((length + 3) & ~3u);
  }
  EXPECT_EQ(end, p);
  EXPECT_EQ((std::vector<std::string>{"kind", "name", "catg", "vers", "wx86", "mode", "enbl", "fici"}), keys);
  ASSERT_EQ(8u, data.size());
  EXPECT_EQ("MFB8", data[0]);  // the code "8BFM" as the platform stores it
  EXPECT_EQ("\x0BQuillmoor..", data[1]);
  EXPECT_EQ("\x08Marrowby", data[2]);
  EXPECT_EQ(std::string("\x05\x00\x02\x00", 4), data[3]);
  EXPECT_EQ(std::string("ENTRYPOINT\0", 11), data[4]);
  EXPECT_EQ(0x10, uint8_t(data[5][0]));
  EXPECT_EQ(std::string("in (PSHOP_ImageMode,RGBMode)\0", 29), data[6]);
  const std::string cases("\1\1\x07\0\1\1\x0F\0\1\1\x0F\0\1\1\x07\0\1\1\x0F\0\1\1\x07\0\1\1\x0F\0", 28);
  EXPECT_EQ(cases, data[7]);
}
