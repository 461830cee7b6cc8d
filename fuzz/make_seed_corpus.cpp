// Writes the binary seed corpora of the fuzz targets from what the simulated board sends: the
// reply frames of the stream target's requests and the input reports of the HID target's
// exchanges, for a healthy board and for each transport fault that shapes the replies; and for
// the trace-file target, a one-telegram recording cut at every byte.
// Usage: make_seed_corpus <corpus folder>

#include "Communication/I2c/i2cwriteregistercomobject.h"
#include "Tracing/tracerecorder.h"
#include "simulatedevaluationboard.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <cstdio>
#include <memory>

using namespace ZyrSim;

namespace {

struct Exchange {
    unsigned char protocol;
    QByteArray payload;
    unsigned int replySize;
};

// The stream target's requests, in its order: histogram, objects, an unknown protocol,
// temperature, then histogram and objects again.
const Exchange kExchanges[] = {
    {1, QByteArray::fromHex("0100"), 512},
    {2, QByteArray(), 17},
    {3, QByteArray(), 1088},
    {10, QByteArray(), 1},
    {1, QByteArray::fromHex("0302"), 512},
    {2, QByteArray(), 17},
};

// Sends one request frame as output reports with the given counter and returns the input
// reports of the reply, each without its report id.
QList<QByteArray> exchange(SimulatedHidInterface& hid, SimulatedHidInterface::Session session,
                           const Exchange& request, unsigned char counter) {
    QByteArray frame;
    frame.append(char(request.protocol));
    frame.append(char(request.payload.size() >> 8)).append(char(request.payload.size()));
    frame.append(char(request.replySize >> 8)).append(char(request.replySize));
    frame.append(request.payload);
    QByteArray report(65, '\xCB');
    report[0] = 0;
    report[1] = char(counter);
    report[2] = char(frame.size());
    report[3] = 0;
    report.replace(4, frame.size(), frame);
    hid.hostWrite(session, reinterpret_cast<const unsigned char*>(report.constData()), 65);

    QList<QByteArray> replies;
    unsigned char input[65];
    unsigned int length = 0;
    while (hid.hostRead(session, input, sizeof input, 0, &length) ==
           SimulatedHidInterface::Transfer::Done)
        replies << QByteArray(reinterpret_cast<const char*>(input) + 1, int(length) - 1);
    return replies;
}

// The payloads of reports joined: the reply frames as the stream reads them.
QByteArray joinedPayloads(const QList<QByteArray>& reports, unsigned char counter) {
    QByteArray bytes;
    for (const QByteArray& report : reports) {
        if ((static_cast<unsigned char>(report[0]) >> 4) == counter)
            bytes += report.mid(3, static_cast<unsigned char>(report[1]));
    }
    return bytes;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A recording of one register write, as the recorder writes it, and each of its cuts.
bool writeRecordingCuts(const QDir& folder) {
    ZyrCore::Communication::I2c::I2cWriteRegisterComObject command(0x40, 0x21, 0x5A, 0x8000000, 1,
                                                                   1);
    QString telegram;
    QXmlStreamWriter writer(&telegram);
    writer.setAutoFormatting(true);
    command.xmlSerialize(&writer, 0);
    QTemporaryDir scratch;
    const QString fileName = scratch.filePath(QStringLiteral("recording.xml"));
    QFile file(fileName);
    if (!ZyrCore::Tracing::TraceRecorder().writeTelegrams(fileName, {telegram}) ||
        !file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray recording = file.readAll();
    bool written = true;
    for (int size = 0; size <= recording.size(); ++size)
        written =
            write(folder.filePath(QStringLiteral("cut-%1").arg(size, 4, 10, QLatin1Char('0'))),
                  recording.left(size)) &&
            written;
    return written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    root.mkpath(QStringLiteral("fuzz_stream_replies"));
    root.mkpath(QStringLiteral("fuzz_hid_reports"));
    root.mkpath(QStringLiteral("fuzz_trace_files"));

    const char* configs[] = {"chip=KEL4401",
                             "chip=KEL4405,target=1200",
                             "fault.module=stale",
                             "fault.module=zerocount",
                             "fault.module=toolong",
                             "fault.module=wrongprotocol",
                             "chip=KEL4301,badHistogram=1,shortObjects=1,deviceStatus=3"};
    bool written = true;
    for (const char* text : configs) {
        SimulatorConfig config;
        QString error;
        if (!SimulatorConfig::parse(QString::fromLatin1(text), &config, &error)) {
            std::fprintf(stderr, "%s: %s\n", text, qPrintable(error));
            return 1;
        }
        // A stopped clock: the target and the temperature stay where they start, so the seeds
        // do not depend on how fast this runs.
        const auto board =
            std::make_unique<SimulatedEvaluationBoard>(config, [] { return qint64(0); });
        SimulatedHidInterface& hid = board->board().hidInterface(BoardInterface::Module);
        const SimulatedHidInterface::Session session = hid.claim();

        // Stream seed: every reply frame in turn. HID seed: a plan of two reads per exchange
        // (header, then payload; the second exchange's first read sends a new request), then
        // the reports of the first two exchanges, with counters 1 and 2 as the target sends.
        QByteArray frames;
        QByteArray plan(1, char(3));
        QByteArray reports;
        unsigned char counter = 0;
        for (const Exchange& request : kExchanges) {
            counter = static_cast<unsigned char>((counter + 1) % 15);
            const QList<QByteArray> replies = exchange(hid, session, request, counter);
            const QByteArray frame = joinedPayloads(replies, counter);
            frames += frame;
            if (counter <= 2) {
                const unsigned int payload = unsigned(qMax(0, frame.size() - 5));
                plan.append(char(5)).append(char(counter == 1 ? 0 : 0x80));
                plan.append(char(payload & 0xFF)).append(char(payload >> 8));
                for (const QByteArray& report : replies)
                    reports += report.leftJustified(64, '\0', true);
            }
        }
        hid.release(session);

        QString name = QString::fromLatin1(text);
        name.replace(QLatin1Char(','), QLatin1Char('_'))
            .replace(QLatin1Char('='), QLatin1Char('-'));
        written =
            write(root.filePath(QStringLiteral("fuzz_stream_replies/") + name), frames) &&
            write(root.filePath(QStringLiteral("fuzz_hid_reports/") + name), plan + reports) &&
            written;
    }
    written =
        writeRecordingCuts(QDir(root.filePath(QStringLiteral("fuzz_trace_files")))) && written;
    return written ? 0 : 1;
}
