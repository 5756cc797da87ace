#include "ui/FHRunReporter.h"

#include "engine/FHException.h"
#include "ui/FHOutputWidget.h"

void FHRunReporter::message(const QString &text)
{
    try {
        reportMessage(text);
    } catch (const FHException &e) {
        logFailed(e);
        FHOutputWidget::instance()->appendText(text, false);
    }
}

void FHRunReporter::error(const QString &text)
{
    try {
        reportError(text);
    } catch (const FHException &e) {
        logFailed(e);
        FHOutputWidget::instance()->appendText(text, true);
    }
}

void FHRunReporter::exception(const FHException &e)
{
    try {
        reportException(e);
    } catch (const FHException &logFailure) {
        logFailed(logFailure);
        FHOutputWidget::instance()->appendException(e);
        showRunTimeError(e);
    }
}

void FHRunReporter::logFailed(const FHException &e)
{
    if (m_logFailureShown)
        return;
    m_logFailureShown = true;
    FHOutputWidget::instance()->appendException(e);
    showRunTimeError(e);
}

void FHNoticeReporter::message(const QString &text)
{
    reportMessage(text);
}

void FHNoticeReporter::error(const QString &text)
{
    reportError(text);
}

void FHNoticeReporter::exception(const FHException &e)
{
    showRunTimeError(e);
}
