#include "ui/FHRunProgress.h"

#include "engine/FHNaming.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

FHRunProgress::FHRunProgress(QProgressBar *bar, QLabel *statusLine, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
    , m_statusLine(statusLine)
{
}

FHRunProgress::~FHRunProgress() = default;

void FHRunProgress::begin(const QString &note)
{
    m_stopping = false;
    m_showsNote = !note.isEmpty();
    m_shown.invalidate();
    m_bar->setValue(0);
    // Paths keep their end in view.
    m_statusLine->setAlignment(
        m_showsNote ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
    m_statusLine->setText(note);
    m_statusLine->setToolTip(note);
}

void FHRunProgress::stopping(const QString &text)
{
    m_stopping = true;
    m_statusLine->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_statusLine->setText(text);
    m_statusLine->setToolTip(text);
}

void FHRunProgress::end(int percent, const QString &outcome)
{
    m_stopping = false;
    m_showsNote = false;
    m_bar->setValue(percent);
    m_statusLine->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_statusLine->setText(outcome);
    m_statusLine->setToolTip(outcome);
}

void FHRunProgress::setProgress(int value)
{
    // Naming the files moved before a stop runs on to 100 %, which would say
    // that everything was sorted.
    if (!m_stopping)
        m_bar->setValue(value);
}

void FHRunProgress::showFile(const QString &path)
{
    // Painting every path and answering events after every file would cost the
    // run ten times its own work: about 30 times a second is enough to see it
    // move and to keep the menus usable.
    if (m_shown.isValid() && m_shown.elapsed() < 33)
        return;
    // A stretch of temporary names alone (an earlier run's, say) still lets
    // the window answer, at a slower pace.
    const bool temporary = isTemporaryName(path);
    if (temporary && m_shown.isValid() && m_shown.elapsed() < 100)
        return;
    if (!m_stopping && !m_showsNote && !temporary)
        m_statusLine->setText(path);
    m_shown.start();
    QCoreApplication::processEvents();
}
