#include <gtest/gtest.h>

#include <vector>

#include "platform/VirtualMouseFrames.h"

namespace monitor::virtual_mouse {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(VirtualMouseFrames, FramesCarryTheirKindAndPayloadWhole) {
  for (const Bytes& payload : {Bytes{}, Bytes{7, 0x80, 0, 0, 0, 0, 0, 0}, Bytes(1024, 0xAB)}) {
    const Bytes frame = EncodeFrame(MessageKind::SetFeature, payload);
    ASSERT_EQ(frame.size(), kHeaderSize + payload.size());
    const auto decoded = DecodeFrame(frame);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->kind, MessageKind::SetFeature);
    EXPECT_EQ(Bytes(decoded->payload.begin(), decoded->payload.end()), payload);
  }
  // The length goes little-endian after the version, the kind and two zeros.
  const Bytes frame = EncodeFrame(MessageKind::InputReport, Bytes(0x0102, 0));
  EXPECT_EQ(Bytes(frame.begin(), frame.begin() + kHeaderSize), (Bytes{kVersion, 19, 0, 0, 0x02, 0x01, 0, 0}));
}

// Whatever arrives on a pipe is checked before any of it is used.
TEST(VirtualMouseFrames, MessagesThatAreNotAWholeFrameAreRefused) {
  const Bytes good = EncodeFrame(MessageKind::Result, Bytes{0, 0, 0, 0});
  struct Case {
    const char* label;
    Bytes message;
  };
  Bytes otherVersion = good;
  otherVersion[0] = 2;
  Bytes reserved = good;
  reserved[3] = 1;
  Bytes longer = good;
  longer.push_back(0);
  Bytes claimsMore = good;
  claimsMore[4] = 200;
  Bytes claimsFourGigabytes = good;
  claimsFourGigabytes[7] = 0xFF;
  const Case cases[] = {
      {"empty", {}},
      {"shorter than a header", Bytes(good.begin(), good.begin() + 7)},
      {"another version", otherVersion},
      {"reserved bytes set", reserved},
      {"bytes after the payload", longer},
      {"payload shorter than its length", Bytes(good.begin(), good.end() - 1)},
      {"length past the message", claimsMore},
      {"length of gigabytes", claimsFourGigabytes},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(DecodeFrame(c.message)) << c.label;
  }
}

TEST(VirtualMouseFrames, ResultsAndCapabilitiesRoundTripAndShortOnesAreRefused) {
  for (const std::uint32_t result : {0u, 1167u, 0xFFFFFFFFu}) {
    const auto bytes = EncodeResult(result);
    EXPECT_EQ(DecodeResult(bytes), result);
    EXPECT_FALSE(DecodeResult(std::span(bytes).first(3)));
  }
  // A FeatureReport payload: the result, then the report.
  EXPECT_EQ(DecodeResult(Bytes{0x57, 0, 0, 0, 3, 1, 2}), 0x57u);

  const HidCapabilities caps{0x0001, 0xFFA0, 8, 8, 1024};
  const auto bytes = EncodeCapabilities(caps);
  EXPECT_EQ(DecodeCapabilities(bytes), caps);
  EXPECT_FALSE(DecodeCapabilities(std::span(bytes).first(9)));
  Bytes longer(bytes.begin(), bytes.end());
  longer.push_back(0);
  EXPECT_FALSE(DecodeCapabilities(longer));
}

}  // namespace
}  // namespace monitor::virtual_mouse
