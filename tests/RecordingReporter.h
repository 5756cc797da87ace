#ifndef RECORDINGREPORTER_H
#define RECORDINGREPORTER_H

#include "engine/FHReporter.h"

#include <QStringList>

// Keeps what the engine reports, for tests that run it without a window.
class RecordingReporter : public FHReporter
{
public:
    void message(const QString &text) override { messages << text; }
    void error(const QString &text) override { errors << text; }
    void exception(const FHException &e) override;

    QStringList messages;
    QStringList errors; // an exception as "0X000106 message"
};

#endif // RECORDINGREPORTER_H
