// Custom replies and the byte-array conversions of the window.

#include "FormFixture.h"

using namespace OmniRig;

namespace {

class ByteArrays : public FormFixture {
protected:
    std::vector<uint8_t> bytes(const Variant& v) {
        EXPECT_NE(v.byteArray(), nullptr);
        EXPECT_EQ(v.byteArray() ? v.byteArray()->lowBound : -1, 0);
        return v.byteArray() ? v.byteArray()->data : std::vector<uint8_t>{};
    }
};

}  // namespace

TEST_F(ByteArrays, HexTextBecomesBytesAndBack) {
    TForm1& f = start();
    Variant v;
    f.HexToSafeArray("0A1bFF", v);
    EXPECT_EQ(bytes(v), (std::vector<uint8_t>{10, 27, 255}));
    EXPECT_EQ(f.SafeArrayToHex(v), "0A1BFF");
    f.HexToSafeArray("ABC", v);
    EXPECT_EQ(bytes(v), (std::vector<uint8_t>{171})) << "a last odd character is ignored";
    f.HexToSafeArray("", v);
    EXPECT_TRUE(bytes(v).empty());
    EXPECT_EQ(f.SafeArrayToHex(v), "");
}

TEST_F(ByteArrays, ABadPairEndsTheConversionWithoutAnError) {
    TForm1& f = start();
    Variant v;
    EXPECT_NO_THROW(f.HexToSafeArray("12ZZ34", v));
    EXPECT_EQ(bytes(v), (std::vector<uint8_t>{18, 0, 0}));
    f.HexToSafeArray("1 -1+1", v);
    EXPECT_EQ(bytes(v), (std::vector<uint8_t>{0, 0, 0}));
}

TEST_F(ByteArrays, TextBecomesOneBytePerCharacter) {
    TForm1& f = start();
    Variant v;
    f.TextToSafeArray("abc", v);
    EXPECT_EQ(bytes(v), (std::vector<uint8_t>{97, 98, 99}));
    f.TextToSafeArray("", v);
    EXPECT_TRUE(bytes(v).empty());
}

TEST_F(ByteArrays, OnlyAnArrayFromZeroHasHexDigits) {
    TForm1& f = start();
    EXPECT_EQ(f.SafeArrayToHex(Variant(int32_t{42})), "");
    EXPECT_EQ(f.SafeArrayToHex(Variant("0A")), "");
    EXPECT_EQ(f.SafeArrayToHex(Variant()), "");
    EXPECT_EQ(f.SafeArrayToHex(Variant(ByteArray{1, {1, 2}})), "");
    EXPECT_EQ(f.SafeArrayToHex(Variant(ByteArray{0, {0, 0x7F, 0x80}})), "007F80");
}

TEST_F(ByteArrays, ACustomReplyChangesNothing) {
    writeSettings("600", "TRUE", "NOT", "0", "1", "B");
    TForm1& f = start();
    const std::string before = readIni();
    server->clearCalls();
    for (int rig : {1, 2}) {
        server->raise(DISPID_CustomReply, {Variant(int32_t{rig}), Variant(ByteArray{0, {1}}),
                                           Variant(ByteArray{0, {2}})});
    }
    EXPECT_TRUE(server->calls.empty());
    EXPECT_EQ(readIni(), before);
    EXPECT_TRUE(prompter->messages.empty());
    EXPECT_EQ(f.RigEventErrorText(), "");
}
