#include "encoding/CodeSystem.h"
#include "ftp/FtpNames.h"

#include <gtest/gtest.h>

// "日本語" in each code system, and names that are no text of it: each is shown, becomes a
// local name or not, and goes back to the server as exactly the bytes it came as.
TEST(Utf8Names, NamesReadInTheirCodeSystemAndGoBackAsTheirBytes) {
    const struct {
        int code;
        QByteArray name;
        const char* shown;
        bool receivable;
    } cases[] = {
        {CodeSystemUtf8, "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt", "日本語.txt", true},
        {CodeSystemEuc, "\xc6\xfc\xcb\xdc\xb8\xec.txt", "日本語.txt", true},
        {CodeSystemSjis, "\x93\xfa\x96\x7b\x8c\xea.txt", "日本語.txt", true},
        {CodeSystemUtf8, "bad\xff\xfe.txt", "bad\\xFF\\xFE.txt", false},
        {CodeSystemUtf8, "\x93\xfa\x96\x7b.txt", "\\x93\\xFA\\x96{.txt", false},
        // Bidirectional controls would turn "txt.exe" round to read "exe.txt".
        {CodeSystemUtf8, "report\xe2\x80\xaetxt.exe", "report\\xE2\\x80\\xAEtxt.exe", false},
        {CodeSystemUtf8,
         "a\xe2\x81\xa6"
         "b\xe2\x81\xa9.txt",
         "a\\xE2\\x81\\xA6b\\xE2\\x81\\xA9.txt", false},
        {CodeSystemUtf8, "\xe2\x80\x8fname.txt", "\\xE2\\x80\\x8Fname.txt", false},
        {CodeSystemUtf8,
         "\xe2\x80\x94"
         "dash.txt",
         "\u2014dash.txt", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(FtpNames::display(c.name, c.code), QString::fromUtf8(c.shown));
        EXPECT_EQ(FtpNames::localPathFor(QStringLiteral("/tmp"), c.name, c.code, false).has_value(),
                  c.receivable);
        EXPECT_EQ(FtpNames::encodeForServer(FtpNames::decodeName(c.name, c.code), c.code),
                  std::optional<QByteArray>(c.name));
    }
    EXPECT_EQ(FtpNames::encodeForServer(QStringLiteral("メモ"), CodeSystemUtf8),
              std::optional<QByteArray>("\xe3\x83\xa1\xe3\x83\xa2"));
}
