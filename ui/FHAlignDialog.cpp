#include "ui/FHAlignDialog.h"

#include "ui/FHThumbnailLoader.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QString timeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// Large, but two side by side on the screen with room to spare.
int pictureEdge(const QWidget *dialog)
{
    // A window opens at two thirds of the screen at most.
    const QSize room = dialog->screen()->availableGeometry().size() * 2 / 3;
    return qBound(160, qMin(room.width() / 2 - 40, (room.height() - 200) * 4 / 3), 560);
}

} // namespace

FHAlignDialog::FHAlignDialog(const FHPlanEntry &a, const FHPlanEntry &b, QWidget *parent)
    : QDialog(parent)
    , m_a(a)
    , m_b(b)
    , m_result(new QLabel(this))
    , m_swapButton(new QPushButton(this))
    , m_takeButton(new QPushButton(this))
    , m_cancelButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("alignDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *grid = new QGridLayout;
    const int edge = pictureEdge(this);
    for (int side = 0; side < 2; ++side) {
        m_pictures[side] = new QLabel(this);
        m_pictures[side]->setObjectName(
            side ? QStringLiteral("referencePicture") : QStringLiteral("cameraPicture"));
        m_pictures[side]->setAlignment(Qt::AlignCenter);
        m_pictures[side]->setMinimumSize(edge, edge * 3 / 4);
        m_pictures[side]->setFrameShape(QFrame::StyledPanel);
        m_captions[side] = new QLabel(this);
        m_captions[side]->setObjectName(
            side ? QStringLiteral("referenceCaption") : QStringLiteral("cameraCaption"));
        m_captions[side]->setWordWrap(true);
        m_captions[side]->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_captions[side]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(m_pictures[side], 0, side);
        grid->addWidget(m_captions[side], 1, side);
    }
    m_result->setObjectName(QStringLiteral("alignResult"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_swapButton->setObjectName(QStringLiteral("swapButton"));
    m_takeButton->setObjectName(QStringLiteral("takeButton"));
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_takeButton->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_swapButton);
    buttons->addStretch(1);
    buttons->addWidget(m_takeButton);
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    // Never smaller than the pictures and their captions: they would overlap.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addLayout(grid, 1);
    layout->addWidget(m_result);
    layout->addLayout(buttons);

    connect(m_swapButton, &QPushButton::clicked, this, &FHAlignDialog::swap);
    connect(m_takeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    showPictures();
    retranslateUi();
}

qint64 FHAlignDialog::offset() const
{
    // The reference's time as the run will have it: its own offset included.
    return FHCameraClock::alignment(m_a.cameraTime(), m_b.captured);
}

void FHAlignDialog::swap()
{
    std::swap(m_a, m_b);
    showPictures();
    retranslateUi();
}

void FHAlignDialog::showPictures()
{
    const FHPlanEntry *entries[] = { &m_a, &m_b };
    for (int side = 0; side < 2; ++side) {
        const QSize size = m_pictures[side]->minimumSize();
        const qreal ratio = devicePixelRatioF();
        QImage image = FHThumbnailLoader::read(
            entries[side]->sourcePath(), qRound(qMax(size.width(), size.height()) * ratio));
        if (image.isNull()) {
            m_pictures[side]->setPixmap(QPixmap());
            continue;
        }
        QPixmap pixmap = QPixmap::fromImage(
            image.scaled(size * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(ratio);
        m_pictures[side]->setPixmap(pixmap);
    }
}

void FHAlignDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}

void FHAlignDialog::retranslateUi()
{
    setWindowTitle(tr("Align a camera's clock"));
    const auto caption = [](const FHPlanEntry &entry, bool reference) {
        QString text = (reference ? tr("Reference: %1") : tr("Clock to set: %1")).arg(entry.camera)
            + QLatin1Char('\n') + entry.sourceName + QLatin1Char('\n')
            + tr("Camera time: %1").arg(timeText(entry.cameraTime()));
        if (entry.shift != 0)
            text += QLatin1Char('\n')
                + tr("With its offset %1: %2")
                      .arg(FHCameraClock::shiftText(entry.shift), timeText(entry.captured));
        return text;
    };
    m_captions[0]->setText(caption(m_a, false));
    m_captions[1]->setText(caption(m_b, true));
    for (QLabel *picture : m_pictures) {
        if (picture->pixmap(Qt::ReturnByValue).isNull())
            picture->setText(tr("No picture to show"));
    }
    m_result->setText(
        tr("If both photos show the same moment, the clock of %1 gets the offset %2: each of its "
           "capture times moves from the camera's time to the reference's.")
            .arg(m_a.camera, FHCameraClock::shiftText(offset())));
    m_swapButton->setText(tr("&Swap"));
    m_takeButton->setText(tr("&Take the offset"));
    m_cancelButton->setText(tr("Cancel"));
}
