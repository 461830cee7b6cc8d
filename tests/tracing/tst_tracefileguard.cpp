#include "nullexecutor.h"
#include "testregistry.h"
#include "tracecost.h"

#include "Tools/markupoutline.h"
#include "Tracing/traceplayer.h"
#include "Tracing/traceprogrammer.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Tracing;
using ZyrCore::Tools::MarkupOutline;

namespace {

const QString kRequest = QStringLiteral(
    "<Telegram Pid=\"61\" CallingType=\"FireAndForget\" TelegramType=\"Request\" "
    "Trace=\"08000000\"><I2cWriteRegister><SlaveAddress>40</SlaveAddress><AddressSize>1"
    "</AddressSize><Address>21</Address><DataSize>1</DataSize><Data>5a</Data>"
    "</I2cWriteRegister></Telegram>");
const QString kDeclaration = QStringLiteral("<?xml version=\"1.0\"?>");
const QString kDocumentType = QStringLiteral("<!DOCTYPE LogData>");

// A trace whose root holds before its two requests what may stand there.
QString traceWith(const QString& beforeTelegrams, const QString& declaration = kDeclaration,
                  const QString& documentType = kDocumentType) {
    return declaration + documentType + "<LogData>" + beforeTelegrams + kRequest + kRequest +
           "</LogData>";
}

QString nested(int levels) {
    return QString("<x>").repeated(levels) + QString("</x>").repeated(levels);
}

QString attributesNamed(int count) {
    QString attributes;
    for (int i = 0; i < count; ++i)
        attributes += QStringLiteral(" a%1=\"\"").arg(i);
    return attributes;
}

QString elementWithAttributes(int count) {
    return "<x" + attributesNamed(count) + "/>";
}

void writeBytes(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

class CountingExecutor : public NullExecutor {
public:
    bool execute(IComObject*) override {
        ++executed;
        return true;
    }
    int executed = 0;
};

// What reading, playing and loading make of a file, "read 2 played 2 loaded 2" for a whole one.
QString readAllWays(const QString& fileName) {
    TracePlayer player;
    QList<QString> telegrams;
    const bool read = player.readTelegrams(fileName, &telegrams);
    CountingExecutor executor;
    player.setComExecutor(&executor);
    const bool played = player.open(fileName) && player.playToEnd();
    player.close();
    TraceProgrammer programmer;
    programmer.setPlayer(&player);
    const bool loaded = programmer.loadProgram(fileName);
    const auto counted = [](bool whole, int count) {
        return (whole ? QString() : QStringLiteral("not ")) + QString::number(count);
    };
    return QStringLiteral("read %1 played %2 loaded %3")
        .arg(counted(read, telegrams.count()), counted(played, executor.executed),
             counted(loaded, programmer.getAllCommands().count()));
}

const QString kWhole = QStringLiteral("read 2 played 2 loaded 2");
const QString kRefused = QStringLiteral("read not 0 played not 0 loaded not 0");

} // namespace

class TestTraceFileGuard : public QObject {
    Q_OBJECT

    enum Kind { Fill, FillOnTelegram, Attributes, Depth, DocumentType, Declaration };

private slots:
    void initTestCase();
    void eachLimitHoldsOnBothSides_data();
    void eachLimitHoldsOnBothSides();
    void commentsAndSectionsEndOnlyAtTheirClosing_data();
    void commentsAndSectionsEndOnlyAtTheirClosing();
    void outlineReadsAlikeInAnyPieces_data();
    void outlineReadsAlikeInAnyPieces();
    void unclosedRecordingEndsOnAWholeCharacter_data();
    void unclosedRecordingEndsOnAWholeCharacter();
    void guardedReadingStaysLinear_data();
    void guardedReadingStaysLinear();

private:
    QString filePath(const char* name) const { return itsFolder.filePath(QLatin1String(name)); }

    QTemporaryDir itsFolder;
};

void TestTraceFileGuard::initTestCase() {
    registerStreamCommandSets();
    QVERIFY(itsFolder.isValid());
}

void TestTraceFileGuard::eachLimitHoldsOnBothSides_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("limit");
    // For Fill: the construct is before + fill + after, its counted length `counted` plus the
    // fill's.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("counted");
    QTest::addColumn<QString>("fill"); // repeated, and ended by an 'x' where it does not fit
    using namespace ZyrCore::Tools;
    const auto fill = [](const char* name, int limit, const char* before, const char* after,
                         int counted = 0, const QString& fill = "x", Kind kind = Fill) {
        QTest::newRow(name) << int(kind) << limit << before << after << counted << fill;
    };
    fill("element name", maxNameLength, "<", "/>");
    // Namespaces are bound only on telegrams: a telegram's text is read alone.
    fill("prefixed name", maxNameLength, " xmlns:p=\"u\" p:", "=\"\"", 2, "x", FillOnTelegram);
    fill("attribute name", maxNameLength, "<x ", "=\"\"/>");
    // Lengths count code units: the name has 513 characters on both sides of the limit.
    fill("attribute name outside the BMP", maxNameLength, "<x n", "=\"\"/>", 1, "\U00010000");
    fill("target", maxNameLength, "<?", "?>");
    fill("namespace name", maxNamespaceNameLength, " xmlns:p=\"", "\"", 0, "x", FillOnTelegram);
    fill("default namespace name", maxNamespaceNameLength, " xmlns='", "'", 0, "x", FillOnTelegram);
    fill("attribute value", maxAttributeValueLength, "<x a=\"", "\"/>");
    fill("comment", maxCommentLength, "<!--", "-->");
    fill("processing instruction", maxProcessingInstructionLength, "<?pi ", "?>", 3);
    fill("CDATA section", maxCDataLength, "<![CDATA[", "]]>");
    fill("text", maxTextLength, "", "");
    fill("blanks in a start tag", maxTagSpaceLength, "<x", "/>", 0, " ");
    fill("blanks in an end tag", maxTagSpaceLength, "<x></x", ">", 0, " ");
    const auto other = [](const char* name, Kind kind, int limit) {
        QTest::newRow(name) << int(kind) << limit << QString() << QString() << 0 << QString();
    };
    other("attributes", Attributes, maxElementAttributes);
    other("elements open around the root's", Depth, maxTraceFileDepth - 1);
    other("document type", DocumentType, maxDocumentTypeLength);
    other("XML declaration", Declaration, maxTraceFileDeclarationSize);
}

// Each construct is read at its limit and refused one over it, by reading, playing and loading
// alike. Each stands before the first telegram, where the readers themselves take anything but
// namespace bindings, or else in the first telegram's start tag.
void TestTraceFileGuard::eachLimitHoldsOnBothSides() {
    QFETCH(int, kind);
    QFETCH(int, limit);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, counted);
    QFETCH(QString, fill);
    const QString fileName = filePath("limit.xml");
    for (const int length : {limit, limit + 1}) {
        const int units = length - counted;
        const QString filled =
            kind == Fill || kind == FillOnTelegram
                ? fill.repeated(units / fill.size()) + QString(units % fill.size(), 'x')
                : QString();
        QString text;
        switch (kind) {
        case Fill:
            text = traceWith(before + filled + after);
            break;
        case FillOnTelegram:
            text = traceWith(QString()).replace("<LogData><Telegram",
                                                "<LogData><Telegram" + before + filled + after);
            break;
        case Attributes:
            text = traceWith(elementWithAttributes(length));
            break;
        case Depth:
            text = traceWith(nested(length));
            break;
        case DocumentType:
            text = traceWith(QString(), kDeclaration,
                             "<!DOCTYPE LogData" + QString(length - 18, ' ') + ">");
            break;
        case Declaration:
            text = traceWith(QString(), "<?xml version=\"1.0\"" + QString(length - 21, ' ') + "?>");
            break;
        }
        writeBytes(fileName, text.toUtf8());
        QCOMPARE(QString::number(length) + ": " + readAllWays(fileName),
                 QString::number(length) + ": " + (length > limit ? kRefused : kWhole));
    }
}

void TestTraceFileGuard::commentsAndSectionsEndOnlyAtTheirClosing_data() {
    QTest::addColumn<QString>("beforeTelegrams");
    QTest::addColumn<QString>("expected");
    const QString tooDeep = nested(maxTraceFileDepth);
    const QString deepEnough = nested(maxTraceFileDepth - 1);
    const QString crowded = elementWithAttributes(maxElementAttributes + 1);
    // A construct taken as ended too early leaves the guard in a quote of its own making: the
    // markup after it would go uncounted.
    QTest::newRow("comment holding ->") << "<!-- -> <a \" -->" + tooDeep << kRefused;
    QTest::newRow("comment holding - and >") << "<!-- - > <a \" -->" + tooDeep << kRefused;
    QTest::newRow("comment holding ]]>") << "<!-- ]]> <a \" -->" + crowded << kRefused;
    QTest::newRow("CDATA holding ]>") << "<![CDATA[ ]> <a \" ]]>" + tooDeep << kRefused;
    QTest::newRow("CDATA holding -->") << "<![CDATA[ --> <a \" ]]>" + crowded << kRefused;
    QTest::newRow("CDATA holding --") << "<![CDATA[ -- <a \" ]]>" + tooDeep << kRefused;
    QTest::newRow("CDATA holding ]]]>") << "<![CDATA[ ]]]>" + tooDeep << kRefused;
    // Marks apart are no closing.
    QTest::newRow("comment holding -x->") << "<!-- a-b-> <a \" -->" + tooDeep << kRefused;
    QTest::newRow("CDATA holding ]x]>") << "<![CDATA[ a]b]> <a \" ]]>" + tooDeep << kRefused;
    QTest::newRow("instruction holding >") << "<?pi > <a \" ?>" + tooDeep << kRefused;
    QTest::newRow("value holding >") << "<x a=\"> <a '\"/>" + crowded << kRefused;
    QTest::newRow("comment holding -> then nesting within the limit")
        << "<!-- -> <a \" -->" + deepEnough << kWhole;
    QTest::newRow("CDATA holding ]> then nesting within the limit")
        << "<![CDATA[ ]> ]]>" + deepEnough << kWhole;
}

void TestTraceFileGuard::commentsAndSectionsEndOnlyAtTheirClosing() {
    QFETCH(QString, beforeTelegrams);
    const QString fileName = filePath("marks.xml");
    writeBytes(fileName, traceWith(beforeTelegrams).toUtf8());
    QTEST(readAllWays(fileName), "expected");
}

void TestTraceFileGuard::outlineReadsAlikeInAnyPieces_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refusedAt"); // -1: read whole
    using namespace ZyrCore::Tools;
    const QString open = QStringLiteral("<a><b x='1'>t</b>");
    QTest::newRow("marks") << open + "<!-- -> ]> --><![CDATA[ ]> -> ]]]><?p > ?><c/>" << -1;
    const QString deep = open + "<!-- -> --><![CDATA[ ]> ]]>" + QString("<d>").repeated(16);
    QTest::newRow("deep after marks") << deep << int(deep.size()) - 3;
    const QString longName = QString(maxNameLength, 'n');
    QTest::newRow("name at its limit") << open + "<" + longName + "/>" << -1;
    QTest::newRow("name over its limit") << open + "<" + longName + "n/>" << int(open.size());
    QTest::newRow("text over its limit")
        << open + QString(maxTextLength + 1, 't') + "<c/>" << int(open.size());
    const QString space = QString(maxTagSpaceLength, ' ');
    QTest::newRow("blanks at their limit") << open + "<c" + space + "x=''" + space + "/>" << -1;
    QTest::newRow("namespace name over its limit")
        << open + "<c xmlns:n='" + QString(maxNamespaceNameLength + 1, 'u') + "'/>"
        << int(open.size());
    QTest::newRow("xmlnsx value is no namespace name")
        << open + "<c xmlnsx='" + QString(maxNamespaceNameLength + 1, 'u') + "'/>" << -1;
    QTest::newRow("target over its limit") << open + "<?" + longName + "t?>" << int(open.size());
    QTest::newRow("comment at its limit")
        << open + "<!--" + QString(maxCommentLength - 1, '-') + "x-->" << -1;
    QTest::newRow("comment over its limit")
        << open + "<!--" + QString(maxCommentLength + 1, 'c') + "-->" << int(open.size());
    QTest::newRow("CDATA at its limit")
        << open + "<![CDATA[" + QString(maxCDataLength - 1, 'c') + "]]]>" << -1;
    QTest::newRow("instruction at its limit")
        << open + "<?p " + QString(maxProcessingInstructionLength - 2, '?') + "?>" << -1;
    // Only a name that begins with them can be xmlns or xmlns:prefix.
    QTest::newRow("long name with a value over a namespace name's limit")
        << open + "<c abcdefgh='" + QString(maxNamespaceNameLength + 1, 'u') + "'/>" << -1;
    QTest::newRow("empty elements open no level")
        << open + "<c>" + QString("<b/>").repeated(40) + "</c>" + QString("<d>").repeated(15) << -1;
    const QString fullDepth = open + QString("<d>").repeated(14);
    QTest::newRow("empty element at the deepest level") << fullDepth + "<b/>" << -1;
    QTest::newRow("empty element one level too deep")
        << fullDepth + "<d><b/>" << int(fullDepth.size()) + 3;
    const QString outsideTheBmp = QStringLiteral("\U00010000");
    const QString bmpName = outsideTheBmp.repeated(maxNameLength / 2);
    QTest::newRow("name outside the BMP at its limit") << open + "<c " + bmpName + "=''/>" << -1;
    QTest::newRow("name outside the BMP over its limit")
        << open + "<c " + bmpName + "n=''/>" << int(open.size());
    const QChar high(0xD800);
    const QChar low(0xDC00);
    QTest::newRow("lone high surrogate") << open + high + "x<c/>" << int(open.size());
    QTest::newRow("lone low surrogate") << open + "x" + low + "<c/>" << int(open.size()) + 1;
    QTest::newRow("two high surrogates") << open + high + high + low << int(open.size());
    QTest::newRow("lone surrogate closing an instruction")
        << open + "<?x " + low + "><e z=\"?>\"" + attributesNamed(17) + "/>"
        << int(open.size()) + 4;
}

// The outline reads a text given character by character, or cut in two anywhere, as it reads it
// whole.
void TestTraceFileGuard::outlineReadsAlikeInAnyPieces() {
    QFETCH(QString, text);
    QFETCH(int, refusedAt);
    const int depth = 16;
    // Where reading the pieces is refused; a construct begun in an earlier piece is refused at
    // the start of the piece where its fault shows.
    const auto readInPieces = [&](const QVector<int>& cuts) {
        MarkupOutline outline(depth);
        int from = 0;
        for (int i = 0; i <= cuts.size(); ++i) {
            const int to = i < cuts.size() ? cuts.at(i) : text.size();
            const int refused = outline.read(text.constData() + from, to - from);
            if (refused >= 0) {
                const int at = from + refused;
                return refusedAt >= 0 && at == qMax(refusedAt, from) ? refusedAt : at;
            }
            from = to;
        }
        return -1;
    };
    QCOMPARE(readInPieces({}), refusedAt);
    // Long texts are cut near their interesting ends only.
    QVector<int> cuts;
    for (int at = 1; at < text.size(); ++at) {
        if (at < 3000 || text.size() - at < 3000)
            cuts.append(at);
    }
    QCOMPARE(readInPieces(cuts), refusedAt);
    if (text.size() > 4096)
        return;
    for (const int at : cuts)
        QVERIFY2(readInPieces({at}) == refusedAt, qPrintable(QString::number(at)));
}

void TestTraceFileGuard::unclosedRecordingEndsOnAWholeCharacter_data() {
    QTest::addColumn<QByteArray>("encoding"); // named by the declaration, if any
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<QString>("expected");
    const QString unclosed = QStringLiteral("read 2 played 2 loaded 2");
    const QString broken = QStringLiteral("read not 2 played not 2 loaded not 0");
    QTest::newRow("nothing") << QByteArray() << QByteArray() << unclosed;
    QTest::newRow("blanks") << QByteArray() << QByteArray("\n  ") << unclosed;
    QTest::newRow("half a character") << QByteArray() << QByteArray("\xC3") << broken;
    QTest::newRow("two thirds of a character")
        << QByteArray() << QByteArray("\n\xE2\x82") << broken;
    QTest::newRow("a whole character") << QByteArray() << QByteArray("\xC3\xA9") << broken;
    // Decoders of other multi-byte encodings hold the start of a character the same way.
    QTest::newRow("Shift_JIS blanks") << QByteArray("Shift_JIS") << QByteArray("\n") << unclosed;
    QTest::newRow("half a Shift_JIS character")
        << QByteArray("Shift_JIS") << QByteArray("\x82") << broken;
    QTest::newRow("a whole Shift_JIS character")
        << QByteArray("Shift_JIS") << QByteArray("\x82\xA0") << broken;
    QTest::newRow("half an EUC-JP character")
        << QByteArray("EUC-JP") << QByteArray("\n\xA4") << broken;
    QTest::newRow("half a GB18030 character")
        << QByteArray("GB18030") << QByteArray("\x81\x30") << broken;
}

// A recording that was never closed is read up to its missing end tag; bytes after its last
// telegram that are the start of a character make it a broken file.
void TestTraceFileGuard::unclosedRecordingEndsOnAWholeCharacter() {
    QFETCH(QByteArray, encoding);
    QFETCH(QByteArray, end);
    const QString fileName = filePath("unclosed.xml");
    const QByteArray declaration = encoding.isEmpty()
                                       ? kDeclaration.toUtf8()
                                       : "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>";
    writeBytes(fileName,
               declaration + (kDocumentType + "<LogData>" + kRequest + kRequest).toUtf8() + end);
    QTEST(readAllWays(fileName), "expected");
}

void TestTraceFileGuard::guardedReadingStaysLinear_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("namespace names differing at their end") << "namespaces";
    QTest::newRow("one long attribute value") << "value";
    QTest::newRow("one long comment after a telegram") << "comment";
    QTest::newRow("small elements deep in one telegram") << "deep";
}

// Playing, reading and loading cost time and memory linear in the file, whatever one construct
// holds: measured in a child process at two sizes of the same file.
void TestTraceFileGuard::guardedReadingStaysLinear() {
    QFETCH(QString, name);
    const QString fileName = filePath("costly.xml");
    const auto removeFile = qScopeGuard([&fileName] { QFile::remove(fileName); });
    const char* const modes[] = {"play", "read", "load"};
    QStringList figures;
    // The larger file holds four times the smaller's construct: a linear cost grows four times,
    // a quadratic one sixteen, far apart for the noise of a busy machine.
    const int scales[2] = {1, 4};
    qint64 milliseconds[2][3] = {};
    for (int size = 0; size < 2; ++size) {
        const int scale = scales[size];
        QByteArray text = (kDeclaration + kDocumentType).toUtf8();
        if (name == "namespaces") {
            // Sixteen prefixes bound to names that differ only at their end, used by every
            // element: the reader compares the names of each element's attributes pairwise.
            text += "<LogData";
            for (int i = 0; i < 16; ++i)
                text += " xmlns:p" + QByteArray::number(i) + "='" +
                        QByteArray(16 * 1024 * scale, 'u') + QByteArray::number(i, 16) + "'";
            text += ">";
            QByteArray element = "<x";
            for (int i = 0; i < 16; ++i)
                element += " p" + QByteArray::number(i) + ":a=''";
            text += element.append("/>").repeated(1750 * scale);
            text += kRequest.toUtf8();
        } else if (name == "value") {
            text += "<LogData>" +
                    kRequest.toUtf8().replace(
                        "<Data>", "<Data a='" + QByteArray((1 << 20) * scale, 'v') + "'>");
        } else if (name == "deep") {
            // Laid out, each element would stand on a line indented by its depth.
            text += "<LogData>" +
                    kRequest.toUtf8().replace(
                        "<Data>5a</Data>",
                        nested(maxTelegramDepth - 2)
                            .toUtf8()
                            .replace("<x></x>", QByteArray("<a/>").repeated((3 << 16) * scale)));
        } else {
            text += "<LogData>" + kRequest.toUtf8() + "<!--" + QByteArray((4 << 20) * scale, 'c') +
                    "-->";
        }
        text += kRequest.toUtf8() + "</LogData>";
        writeBytes(fileName, text);

        const double megabytes = text.size() / 1048576.0;
        for (int mode = 0; mode < 3; ++mode) {
            TraceCost cost;
            const QString failure = measureTraceCost(QLatin1String(modes[mode]), fileName, &cost);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            figures << QStringLiteral("%1 MB %2: +%3 kB %4 ms")
                           .arg(megabytes, 0, 'f', 1)
                           .arg(QLatin1String(modes[mode]))
                           .arg(cost.growthKilobytes)
                           .arg(cost.milliseconds);
            // At most 64 MB and twice the file.
            QVERIFY2(cost.growthKilobytes < 64 * 1024 + 2 * text.size() / 1024,
                     qPrintable(figures.last()));
            milliseconds[size][mode] = cost.milliseconds;
        }
    }
    qInfo("%s", qPrintable(figures.join("; ")));
    for (int mode = 0; mode < 3; ++mode)
        QVERIFY2(milliseconds[1][mode] <= 8 * milliseconds[0][mode] + 100,
                 qPrintable(figures.join("; ")));
}

ZYR_TEST_CLASS(TestTraceFileGuard)
#include "tst_tracefileguard.moc"
