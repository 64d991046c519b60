#include "tone/settings_tokenizer.h"

#include "core/error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace mv {
namespace {

std::vector<std::string> tokens_of(std::string_view line)
{
    std::vector<std::string> t;
    settings_tokenize(line, t);
    return t;
}

using V = std::vector<std::string>;

TEST(SettingsTokenizer, SplitsOnBlanksDelimitersAndQuotes)
{
    EXPECT_EQ(tokens_of("point 0 10 20"), (V{"point", "0", "10", "20"}));
    EXPECT_EQ(tokens_of("a=b"), (V{"a", "=", "b"}));
    EXPECT_EQ(tokens_of("  \tCurve\t 1.0  "), (V{"Curve", "1.0"}));
    EXPECT_EQ(tokens_of("f(x,y)*[2]/3:4"),
              (V{"f", "(", "x", ",", "y", ")", "*", "[", "2", "]", "/", "3", ":", "4"}));
    // Quoted strings keep blanks and delimiters; an unterminated one ends at the line end.
    EXPECT_EQ(tokens_of("file \"my pic=1.jpg\" next"), (V{"file", "my pic=1.jpg", "next"}));
    EXPECT_EQ(tokens_of("title \"open ended"), (V{"title", "open ended"}));
    EXPECT_EQ(tokens_of("\"\" x"), (V{"", "x"}));
    // Exponents keep their plus sign only inside a token that starts with a digit.
    EXPECT_EQ(tokens_of("1.5e+3 2E+1 e+1 x1e+2"), (V{"1.5e+3", "2E+1", "e", "+", "1", "x1e", "+", "2"}));
    EXPECT_EQ(tokens_of("1.5e-3"), (V{"1.5e-3"}));
    EXPECT_EQ(tokens_of("3+4"), (V{"3", "+", "4"}));
    // A NUL ends the line.
    EXPECT_EQ(tokens_of(std::string_view("a b\0c d", 7)), (V{"a", "b"}));
    EXPECT_TRUE(tokens_of("").empty());
    EXPECT_TRUE(tokens_of(" \t ").empty());
}

TEST(SettingsTokenizer, LimitsTokenCountAndLength)
{
    std::string many;
    for (int i = 0; i < 70; ++i)
        many += std::to_string(i) + " ";
    const V t = tokens_of(many);
    ASSERT_EQ(t.size(), 64u);
    EXPECT_EQ(t[63], "63");
    const V longer = tokens_of(std::string(300, 'x') + " y");
    ASSERT_EQ(longer.size(), 2u);
    EXPECT_EQ(longer[0].size(), 255u);
    EXPECT_EQ(longer[1], "y");
}

TEST(SettingsTokenizer, KeywordsAndIntegers)
{
    EXPECT_TRUE(settings_keyword_is("NPTS", "npts"));
    EXPECT_TRUE(settings_keyword_is("Style", "style"));
    EXPECT_FALSE(settings_keyword_is("npts1", "npts"));
    int v = 99;
    EXPECT_TRUE(settings_parse_int("42", v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(settings_parse_int("+7", v));
    EXPECT_EQ(v, 7);
    EXPECT_TRUE(settings_parse_int("-2147483648", v));
    EXPECT_EQ(v, -2147483648LL);
    v = 99;
    for (const char* bad : {"", "+", "-", "12a", "1.0", " 1", "2147483648", "99999999999999999999"})
        EXPECT_FALSE(settings_parse_int(bad, v)) << bad;
    EXPECT_EQ(v, 99);
}

class SettingsFile : public ::testing::Test {
protected:
    std::string path = (std::filesystem::temp_directory_path() /
                        ("mv_tokenizer_" + std::to_string(::getpid()) + ".txt"))
                           .string();
    void TearDown() override { std::filesystem::remove(path); }
    void write_raw(const std::string& bytes)
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::vector<std::string> read_all()
    {
        FileHandle f;
        EXPECT_EQ(file_open_read(path, f), 0);
        std::vector<std::string> lines;
        std::string line;
        while (settings_read_line(f, line) == 0)
            lines.push_back(line);
        EXPECT_EQ(settings_read_line(f, line), kUnexpectedEof);
        return lines;
    }
};

TEST_F(SettingsFile, ReadsLinesSkippingCarriageReturnsAndEmptyLines)
{
    write_raw("Curve 1.0\r\n\r\n\r\nnpts 2\n\nend");
    EXPECT_EQ(read_all(), (V{"Curve 1.0", "npts 2", "end"}));
    // A line longer than 255 characters continues as the next line.
    write_raw(std::string(300, 'a') + "\r\nb\r\n");
    const V lines = read_all();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::string(255, 'a'));
    EXPECT_EQ(lines[1], std::string(45, 'a'));
    EXPECT_EQ(lines[2], "b");
    write_raw("");
    EXPECT_TRUE(read_all().empty());
}

TEST_F(SettingsFile, WritesCrLfOnce)
{
    {
        FileHandle f;
        ASSERT_EQ(file_create(path, f), 0);
        EXPECT_EQ(settings_write_line(f, "Curve 1.0"), 0);
        EXPECT_EQ(settings_write_line(f, "end\r\n"), 0);
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    char buf[64] = {};
    const std::size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, n), "Curve 1.0\r\nend\r\n");
}

} // namespace
} // namespace mv
