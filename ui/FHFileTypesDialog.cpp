#include "ui/FHFileTypesDialog.h"

#include "engine/FHFileTypes.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

FHFileTypesDialog::FHFileTypesDialog(QWidget *parent)
    : QDialog(parent, Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_introLabel(new QLabel(this))
    , m_buttonBox(new QDialogButtonBox(
          QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("fileTypesDialog"));
    m_introLabel->setObjectName(QStringLiteral("introLabel"));
    m_introLabel->setWordWrap(true);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_introLabel, 0, 0, 1, 2);
    int row = 1;
    for (const FHFileTypes::FamilyInfo &info : FHFileTypes::families()) {
        auto *box = new QCheckBox(this);
        box->setObjectName(QLatin1String(info.name));
        // Sixteen RAW suffixes would make the dialog as wide as a screen.
        auto *suffixes = new QLabel(info.suffixes.join(QStringLiteral(", ")), this);
        suffixes->setObjectName(QLatin1String(info.name) + QStringLiteral("Suffixes"));
        suffixes->setWordWrap(true);
        suffixes->setEnabled(false);
        suffixes->setMinimumWidth(suffixes->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 18);
        layout->addWidget(box, row, 0, Qt::AlignTop);
        layout->addWidget(suffixes, row, 1, Qt::AlignTop);
        connect(box, &QCheckBox::toggled, this, &FHFileTypesDialog::updateOk);
        m_boxes << box;
        ++row;
    }
    layout->setColumnStretch(1, 1);
    layout->setRowMinimumHeight(row++, 6);
    layout->addWidget(m_buttonBox, row, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    retranslate();
    setFamilies(FHFileTypes::Photo);
}

FHFileTypesDialog::~FHFileTypesDialog() = default;

void FHFileTypesDialog::setFamilies(unsigned families)
{
    const QVector<FHFileTypes::FamilyInfo> &all = FHFileTypes::families();
    for (int i = 0; i < all.size(); ++i)
        m_boxes.at(i)->setChecked(families & all.at(i).family);
    updateOk();
}

unsigned FHFileTypesDialog::families() const
{
    unsigned chosen = 0;
    const QVector<FHFileTypes::FamilyInfo> &all = FHFileTypes::families();
    for (int i = 0; i < all.size(); ++i) {
        if (m_boxes.at(i)->isChecked())
            chosen |= all.at(i).family;
    }
    return chosen;
}

QString FHFileTypesDialog::familyLabel(const QString &name)
{
    if (name == QLatin1String("photo"))
        return tr("&Photos");
    if (name == QLatin1String("heif"))
        return tr("&HEIF and AVIF images");
    if (name == QLatin1String("raw"))
        return tr("&RAW files of cameras");
    if (name == QLatin1String("webp-tiff"))
        return tr("&WebP and TIFF images");
    if (name == QLatin1String("video"))
        return tr("&Videos");
    return name;
}

void FHFileTypesDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void FHFileTypesDialog::retranslate()
{
    setWindowTitle(tr("File types"));
    m_introLabel->setText(tr("A sort moves the files of the kinds checked here. Files of the "
                             "other kinds stay in the input directory."));
    const QVector<FHFileTypes::FamilyInfo> &all = FHFileTypes::families();
    for (int i = 0; i < all.size(); ++i)
        m_boxes.at(i)->setText(familyLabel(QLatin1String(all.at(i).name)));
}

void FHFileTypesDialog::updateOk()
{
    // A sort of nothing at all is not a choice.
    m_buttonBox->button(QDialogButtonBox::Ok)->setEnabled(families() != 0);
}
