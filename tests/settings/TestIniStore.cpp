#include "model/IniStore.h"

#include <QtTest>
#include <string>

using namespace settings;

namespace {

std::string Text(const IniStore& store) {
    return store.WriteToText();
}

IniStore Parse(const QByteArray& text) {
    IniStore store;
    store.ReadFromText(std::string_view(text.constData(), std::size_t(text.size())));
    return store;
}

IniStore RoundTrip(const IniStore& store) {
    IniStore back;
    back.ReadFromText(store.WriteToText());
    return back;
}

QByteArray Q(const std::string& text) {
    return QByteArray::fromStdString(text);
}

} // namespace

class TestIniStore : public QObject {
    Q_OBJECT

private slots:
    void writtenFileHasHeadersItemsBlankLinesAndCrLf() {
        IniStore store;
        store.PutString("GENERAL INFO", "FILE TYPE:", "Parameter File");
        store.PutString("GENERAL INFO", "SCOPE VERSION:", "CHROMIX3-Varev V4.2");
        store.PutInt("PARAMETER", "POWER", 500);
        store.PutInt("PARAMETER", "OFFSET", -12);
        QCOMPARE(Q(Text(store)), QByteArray("[GENERAL INFO]\r\n"
                                            "FILE TYPE: = \"Parameter File\"\r\n"
                                            "SCOPE VERSION: = \"CHROMIX3-Varev V4.2\"\r\n"
                                            "\r\n"
                                            "[PARAMETER]\r\n"
                                            "POWER = 500\r\n"
                                            "OFFSET = -12\r\n"
                                            "\r\n"));
    }

    void tagWithTrailingBlankIsWrittenTrimmedAndFoundByPlainName() {
        IniStore store;
        QCOMPARE(store.PutInt("TEACH VECTOR 0", "GROUP ", 0), int(kIniOk));
        QVERIFY(Text(store).find("\r\nGROUP = 0\r\n") != std::string::npos);
        std::int32_t value = -1;
        QCOMPARE(store.GetInt("teach vector 0", "group", value), int(kIniFound));
        QCOMPARE(value, 0);
        QCOMPARE(RoundTrip(store).GetInt(" TEACH VECTOR 0 ", "GROUP", value), int(kIniFound));
    }

    void puttingTheSameTagAgainReplacesTheItemInPlace() {
        IniStore store;
        store.PutInt("S", "A", 1);
        store.PutInt("S", "B", 2);
        store.PutInt("s", "a ", 3);
        // The new item, spelled as put, takes the old one's place.
        QCOMPARE(Q(Text(store)), QByteArray("[S]\r\na = 3\r\nB = 2\r\n\r\n"));
    }

    void namesThatWouldBreakTheFileAreRefused_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("tag");
        QTest::newRow("equals sign in tag") << QByteArray("S") << QByteArray("A=B");
        QTest::newRow("line feed in tag") << QByteArray("S") << QByteArray("A\nB");
        QTest::newRow("blank tag") << QByteArray("S") << QByteArray("  ");
        QTest::newRow("comment tag") << QByteArray("S") << QByteArray(";A");
        QTest::newRow("header tag") << QByteArray("S") << QByteArray("[A]");
        QTest::newRow("carriage return in section") << QByteArray("S\rT") << QByteArray("A");
    }
    void namesThatWouldBreakTheFileAreRefused() {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, tag);
        IniStore store;
        QVERIFY(store.PutInt(section.toStdString(), tag.toStdString(), 1) < 0);
        QVERIFY(store.Sections().empty());
    }

    void escapesAreWrittenAndReadBackUnchanged_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("quote and line break")
            << QByteArray("say \"hi\"\nbye") << QByteArray("\"say \\\"hi\\\"\\nbye\"");
        QTest::newRow("backslash, tab, carriage return")
            << QByteArray("C:\\dir\t\r") << QByteArray("\"C:\\\\dir\\t\\r\"");
        QTest::newRow("other control codes in hex")
            << QByteArray("\x01\x1f\x7f", 3) << QByteArray("\"\\x01\\x1f\\x7f\"");
        QTest::newRow("zero byte") << QByteArray("a\0b", 3) << QByteArray("\"a\\x00b\"");
        QTest::newRow("high bytes untouched")
            << QByteArray("\xe4\xff") << QByteArray("\"\xe4\xff\"");
        QTest::newRow("surrounding blanks kept") << QByteArray("  x  ") << QByteArray("\"  x  \"");
        QTest::newRow("empty text") << QByteArray() << QByteArray("\"\"");
    }
    void escapesAreWrittenAndReadBackUnchanged() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, written);
        IniStore store;
        store.PutString("S", "T", text.toStdString());
        QCOMPARE(Q(Text(store)), "[S]\r\nT = " + written + "\r\n\r\n");
        std::string back;
        QCOMPARE(RoundTrip(store).GetString("S", "T", back), int(kIniFound));
        QCOMPARE(Q(back), text);
    }

    void unescapingTakesUnknownEscapesLiterally_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("unknown letter") << QByteArray("a\\qb") << QByteArray("aqb");
        QTest::newRow("hex") << QByteArray("\\x41\\x4a") << QByteArray("AJ");
        QTest::newRow("hex with one digit") << QByteArray("\\x4g") << QByteArray("x4g");
        QTest::newRow("hex at the end") << QByteArray("\\x4") << QByteArray("x4");
        QTest::newRow("lone backslash at the end") << QByteArray("a\\") << QByteArray("a\\");
    }
    void unescapingTakesUnknownEscapesLiterally() {
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, expected);
        std::string back;
        QCOMPARE(Parse("[S]\nT = " + stored + "\n").GetString("S", "T", back), int(kIniFound));
        QCOMPARE(Q(back), expected);
    }

    void longValueIsWrittenInLinesOfEightyAndReadBackAsOne() {
        const std::string value =
            std::string(80, 'a') + std::string(80, 'b') + std::string(40, 'c');
        IniStore store;
        store.PutString("S", "DATA", value);
        QCOMPARE(Q(Text(store)), "[S]\r\nDATA Line0001 = \"" + QByteArray(80, 'a') +
                                     "\"\r\nDATA Line0002 = \"" + QByteArray(80, 'b') +
                                     "\"\r\nDATA Line0003 = \"" + QByteArray(40, 'c') +
                                     "\"\r\n\r\n");
        const IniStore back = RoundTrip(store);
        QCOMPARE(back.Sections().at(0).items.size(), std::size_t(1));
        std::string read;
        QCOMPARE(back.GetString("S", "data", read), int(kIniFound));
        QCOMPARE(Q(read), Q(value));
    }

    void valueOfExactlyEightyStaysOnOneLine() {
        IniStore store;
        store.PutInt("S", "N", 1);
        store.PutString("S", "DATA", std::string(80, 'x'));
        QVERIFY(Text(store).find("DATA = \"" + std::string(80, 'x') + "\"\r\n") !=
                std::string::npos);
    }

    void longTagsAreCutToTheirLimits() {
        const std::string tag(300, 't');
        IniStore store;
        store.PutInt("S", tag, 1);
        store.PutString("S", "x" + tag, std::string(100, 'v'));
        const std::string text = Text(store);
        QVERIFY(text.find("\r\n" + std::string(255, 't') + " = 1\r\n") != std::string::npos);
        QVERIFY(text.find("\r\nx" + std::string(245, 't') + " Line0001 = ") != std::string::npos);
        std::int32_t value = 0;
        QCOMPARE(RoundTrip(store).GetInt("S", std::string(255, 't'), value), int(kIniFound));

        // A cut that ends in blanks must not leave them before the " = ".
        IniStore blanks;
        blanks.PutInt("S", std::string(254, 'u') + "  v", 2);
        QVERIFY(Text(blanks).find("\r\n" + std::string(254, 'u') + " = 2\r\n") !=
                std::string::npos);
    }

    void continuationLinesJoinOnlyFromLineOneWithinOneName() {
        const IniStore store = Parse("[S]\nD Line0001 = \"ab\"\nd line2 = cd\nD Line0003 = ef\n"
                                     "E = 1\nD Line0002 = zz\nF Line1 = 1\nF Line1 = 2\n");
        const auto& items = store.Sections().at(0).items;
        QCOMPARE(items.size(), std::size_t(5));
        QCOMPARE(Q(items[0].tag), QByteArray("D"));
        QCOMPARE(Q(items[0].value), QByteArray("abcdef"));
        QVERIFY(items[0].quoted);
        QCOMPARE(Q(items[2].tag), QByteArray("D Line0002"));
        QCOMPARE(Q(items[3].value), QByteArray("1"));
        QCOMPARE(Q(items[4].value), QByteArray("2"));
    }

    void tagThatLooksLikeAContinuationSurvivesWriting() {
        IniStore store;
        store.ReadFromText("[S]\nX Line1 Line1 = v\nY = 1\n");
        QCOMPARE(Q(store.Sections().at(0).items.at(0).tag), QByteArray("X Line1"));
        const IniStore back = RoundTrip(store);
        QCOMPARE(Q(back.Sections().at(0).items.at(0).tag), QByteArray("X Line1"));
        QCOMPARE(Q(back.Sections().at(0).items.at(0).value), QByteArray("v"));
    }

    void unquotedValueWithBlanksAtALineBreakSurvivesWriting() {
        // 79 letters, then a blank at the end of the first written line
        const QByteArray value = QByteArray(79, 'a') + " b" + QByteArray(30, 'c');
        const IniStore store = Parse("[S]\nK = " + value + "\n");
        const IniStore back = RoundTrip(store);
        QCOMPARE(Q(back.Sections().at(0).items.at(0).value), value);
    }

    void linesThatAreNotItemsAreIgnored_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("no value") << QByteArray("[P]\nPOWER =\n");
        QTest::newRow("blank value") << QByteArray("[P]\nPOWER =   \t\n");
        QTest::newRow("no equals sign") << QByteArray("[P]\nPOWER 5\n");
        QTest::newRow("comment") << QByteArray("[P]\n  ; POWER = 5\n");
        QTest::newRow("before any header") << QByteArray("POWER = 5\n[P]\n");
        QTest::newRow("header with text after it") << QByteArray("[P] x\nPOWER = 5\n");
        QTest::newRow("header without bracket") << QByteArray("[P\nPOWER = 5\n");
    }
    void linesThatAreNotItemsAreIgnored() {
        QFETCH(QByteArray, text);
        std::int32_t value = 77;
        std::string str = "old";
        const IniStore store = Parse(text);
        QCOMPARE(store.GetInt("P", "POWER", value), int(kIniNotFound));
        QCOMPARE(store.GetString("P", "POWER", str), int(kIniNotFound));
        QCOMPARE(value, 77);
        QVERIFY(str.empty());
    }

    void headersTakeTheNameUpToTheLastBracket() {
        const IniStore store = Parse("  [  a]b  ]  \nK=1\n[A]B]\nK=2\n[]\nK=3\n");
        QCOMPARE(store.Sections().size(), std::size_t(3));
        QCOMPARE(Q(store.Sections()[0].name), QByteArray("a]b"));
        std::int32_t value = 0;
        QCOMPARE(store.GetInt("A]B", "k", value), int(kIniFound));
        QCOMPARE(value, 1); // the first of two sections with one name wins
        QCOMPARE(store.GetInt("", "K", value), int(kIniFound));
        QCOMPARE(value, 3);
    }

    void everyKindOfLineEndReadsAlike_data() {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
        QTest::newRow("LF CR") << QByteArray("\n\r");
        QTest::newRow("zero byte") << QByteArray("\0", 1);
    }
    void everyKindOfLineEndReadsAlike() {
        QFETCH(QByteArray, lineEnd);
        const QByteArray text = "[P]" + lineEnd + "POWER = 500" + lineEnd + lineEnd + "[Q]" +
                                lineEnd + "NAME = \"x y\"" + lineEnd;
        const IniStore store = Parse(text);
        QCOMPARE(Q(store.WriteToText()), QByteArray("[P]\r\nPOWER = 500\r\n\r\n"
                                                    "[Q]\r\nNAME = \"x y\"\r\n\r\n"));
    }

    void integerGrammarIsStrict_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << QByteArray("42") << int(kIniFound) << 42;
        QTest::newRow("blanks around") << QByteArray("\" 42 \"") << int(kIniFound) << 42;
        QTest::newRow("plus sign") << QByteArray("+7") << int(kIniFound) << 7;
        QTest::newRow("leading zeros") << QByteArray("007") << int(kIniFound) << 7;
        QTest::newRow("smallest") << QByteArray("-2147483648") << int(kIniFound) << INT_MIN;
        QTest::newRow("largest") << QByteArray("2147483647") << int(kIniFound) << INT_MAX;
        QTest::newRow("quoted number") << QByteArray("\"-5\"") << int(kIniFound) << -5;
        QTest::newRow("too large") << QByteArray("2147483648") << int(kIniInvalidInteger) << 9;
        QTest::newRow("too small") << QByteArray("-2147483649") << int(kIniInvalidInteger) << 9;
        QTest::newRow("many digits") << QByteArray(40, '9') << int(kIniInvalidInteger) << 9;
        QTest::newRow("trailing letters") << QByteArray("12abc") << int(kIniInvalidInteger) << 9;
        QTest::newRow("blank after sign") << QByteArray("- 7") << int(kIniInvalidInteger) << 9;
        QTest::newRow("two signs") << QByteArray("+-1") << int(kIniInvalidInteger) << 9;
        QTest::newRow("sign only") << QByteArray("-") << int(kIniInvalidInteger) << 9;
        QTest::newRow("hexadecimal") << QByteArray("0x10") << int(kIniInvalidInteger) << 9;
        QTest::newRow("decimal point") << QByteArray("1.0") << int(kIniInvalidInteger) << 9;
        QTest::newRow("inner blank") << QByteArray("1 2") << int(kIniInvalidInteger) << 9;
        QTest::newRow("text") << QByteArray("abc") << int(kIniInvalidInteger) << 9;
        QTest::newRow("blanks only") << QByteArray("\"   \"") << int(kIniNotFound) << 9;
        QTest::newRow("empty quotes") << QByteArray("\"\"") << int(kIniNotFound) << 9;
    }
    void integerGrammarIsStrict() {
        QFETCH(QByteArray, value);
        QFETCH(int, result);
        QFETCH(int, expected);
        std::int32_t out = 9;
        QCOMPARE(Parse("[P]\nN = " + value + "\n").GetInt("P", "N", out), result);
        QCOMPARE(out, expected);
    }

    void putIntegerWritesPlainDecimal() {
        IniStore store;
        store.PutInt("P", "MIN", INT_MIN);
        store.PutInt("P", "ZERO", 0);
        QCOMPARE(Q(Text(store)), QByteArray("[P]\r\nMIN = -2147483648\r\nZERO = 0\r\n\r\n"));
        std::int32_t out = 0;
        QCOMPARE(RoundTrip(store).GetInt("P", "MIN", out), int(kIniFound));
        QCOMPARE(out, INT_MIN);
    }

    void bufferSizeCutsTheValueAndMissingItemsGiveEmptyText() {
        IniStore store;
        store.PutString("S", "T", "abc\tdef");
        std::string out;
        QCOMPARE(store.GetStringIntoBuffer("S", "T", out, 5), int(kIniFound));
        QCOMPARE(Q(out), QByteArray("abc\t"));
        QCOMPARE(store.GetStringIntoBuffer("S", "T", out, 1), int(kIniFound));
        QVERIFY(out.empty());
        out = "stale";
        QCOMPARE(store.GetStringIntoBuffer("S", "U", out, 100), int(kIniNotFound));
        QVERIFY(out.empty());
        QCOMPARE(store.GetStringIntoBuffer("X", "T", out, 100), int(kIniNotFound));
    }

    void overlongLineKeepsOnlyItsFirstCharacters() {
        const IniStore store = Parse("[S]\nK = " + QByteArray(2000, 'x') + "\nL = 1\n");
        std::string out;
        QCOMPARE(store.GetString("S", "K", out), int(kIniFound));
        QCOMPARE(out.size(), std::size_t(1024 - 4));
        std::int32_t value = 0;
        QCOMPARE(store.GetInt("S", "L", value), int(kIniFound));
    }

    void tenMegabyteLineAndBinaryGarbageAreReadWithoutHarm() {
        QByteArray text = "[S]\nK = " + QByteArray(10 * 1024 * 1024, 'x') + "\n";
        QRandomGenerator random(1234);
        for (int i = 0; i < 100000; ++i)
            text += char(random.bounded(256));
        text += "\n[T]\nL = 5\n";
        const IniStore store = Parse(text);
        std::int32_t value = 0;
        QCOMPARE(store.GetInt("T", "L", value), int(kIniFound));
        QCOMPARE(value, 5);
        QVERIFY(RoundTrip(store).Sections().size() == store.Sections().size());
    }
};

QTEST_GUILESS_MAIN(TestIniStore)
#include "TestIniStore.moc"
