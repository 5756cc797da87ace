#include "ui/FHOptionGroup.h"

#include "engine/FHSortOptions.h"
#include "ui/FHRuleDialog.h"
#include "ui/FHSettings.h"
#include "ui/FHWrappingRadioButton.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template<typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

QFrame *separator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Tab enters a group of radios at the checked one; the arrow keys move within.
void tabToChecked(QButtonGroup *group)
{
    const QList<QAbstractButton *> buttons = group->buttons();
    for (QAbstractButton *button : buttons)
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

QButtonGroup *exclusive(QObject *parent, std::initializer_list<QRadioButton *> radios)
{
    auto *group = new QButtonGroup(parent);
    for (QRadioButton *radio : radios)
        group->addButton(radio);
    QObject::connect(group, qOverload<QAbstractButton *, bool>(&QButtonGroup::buttonToggled),
        parent, [group] { tabToChecked(group); });
    return group;
}

} // namespace

FHOptionGroup::FHOptionGroup(QWidget *parent)
    : QGroupBox(parent)
    , m_camerasOnlyRadio(named(new FHWrappingRadioButton(this), "camerasOnlyRadio"))
    , m_allImagesRadio(named(new FHWrappingRadioButton(this), "allImagesRadio"))
    , m_recursionLabel(named(new QLabel(this), "recursionLabel"))
    , m_yesRadio(named(new QRadioButton(this), "yesRadio"))
    , m_noRadio(named(new QRadioButton(this), "noRadio"))
    , m_defaultNamingRadio(named(new FHWrappingRadioButton(this), "defaultNamingRadio"))
    , m_patternRadio(named(new QRadioButton(this), "patternRadio"))
    , m_patternEdit(named(new QLineEdit(this), "patternEdit"))
    , m_rulesButton(named(new QPushButton(this), "rulesButton"))
    , m_subFolderLabel(named(new QLabel(this), "subFolderLabel"))
    , m_noneRadio(named(new FHWrappingRadioButton(this), "noneRadio"))
    , m_monthRadio(named(new FHWrappingRadioButton(this), "monthRadio"))
    , m_dayRadio(named(new FHWrappingRadioButton(this), "dayRadio"))
    , m_copyCheck(named(new QCheckBox(this), "copyCheck"))
    , m_skipDuplicatesCheck(named(new QCheckBox(this), "skipDuplicatesCheck"))
{
    setObjectName(QStringLiteral("optionGroup"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(2);

    auto *recursionRow = new QHBoxLayout;
    m_recursionLabel->setWordWrap(true);
    recursionRow->addWidget(m_recursionLabel, 1);
    recursionRow->addWidget(m_yesRadio, 0, Qt::AlignRight);
    recursionRow->addWidget(m_noRadio, 0, Qt::AlignRight);

    auto *namingGrid = new QGridLayout;
    namingGrid->setVerticalSpacing(2);
    namingGrid->addWidget(m_defaultNamingRadio, 0, 0, 1, 3);
    namingGrid->addWidget(m_patternRadio, 1, 0);
    namingGrid->addWidget(m_patternEdit, 1, 1);
    namingGrid->addWidget(m_rulesButton, 1, 2);

    auto *subFolderGrid = new QGridLayout;
    subFolderGrid->setVerticalSpacing(2);
    subFolderGrid->setHorizontalSpacing(4);
    m_subFolderLabel->setWordWrap(true);
    subFolderGrid->addWidget(m_subFolderLabel, 0, 0);
    subFolderGrid->addWidget(m_noneRadio, 0, 1);
    subFolderGrid->addWidget(m_monthRadio, 1, 0);
    subFolderGrid->addWidget(m_dayRadio, 1, 1);

    layout->addWidget(m_camerasOnlyRadio);
    layout->addWidget(m_allImagesRadio);
    layout->addWidget(separator(this));
    layout->addLayout(recursionRow);
    layout->addWidget(separator(this));
    layout->addLayout(namingGrid);
    layout->addWidget(separator(this));
    layout->addLayout(subFolderGrid);
    layout->addWidget(separator(this));
    auto *importRow = new QHBoxLayout;
    importRow->addWidget(m_copyCheck);
    importRow->addWidget(m_skipDuplicatesCheck, 1);
    layout->addLayout(importRow);

    exclusive(this, { m_camerasOnlyRadio, m_allImagesRadio });
    exclusive(this, { m_yesRadio, m_noRadio });
    exclusive(this, { m_patternRadio, m_defaultNamingRadio });
    exclusive(this, { m_noneRadio, m_monthRadio, m_dayRadio });
    connect(m_patternRadio, &QRadioButton::toggled, this, &FHOptionGroup::setCustomizing);
    connect(m_rulesButton, &QPushButton::clicked, this, &FHOptionGroup::rules);
}

FHOptionGroup::~FHOptionGroup() = default;

void FHOptionGroup::applyTo(FHSortOptions &options) const
{
    // Otherwise the options' own default, numbers alone.
    if (m_patternRadio->isChecked())
        options.namePattern = m_patternEdit->text();
    options.exifOnly = m_camerasOnlyRadio->isChecked();
    options.recursive = m_yesRadio->isChecked();
    options.folders = m_noneRadio->isChecked() ? FHFolderMode::None
        : m_monthRadio->isChecked()            ? FHFolderMode::Month
                                               : FHFolderMode::Day;
    options.copy = m_copyCheck->isChecked();
    options.duplicates
        = m_skipDuplicatesCheck->isChecked() ? FHDuplicates::Skip : FHDuplicates::Import;
}

void FHOptionGroup::load(const FHSettings &settings)
{
    (settings.value(FHSettingKey::IsExif).toBool() ? m_camerasOnlyRadio : m_allImagesRadio)
        ->setChecked(true);
    (settings.value(FHSettingKey::IsRecursive).toBool() ? m_yesRadio : m_noRadio)->setChecked(true);
    const bool customize = settings.value(FHSettingKey::IsCustomize).toBool();
    (customize ? m_patternRadio : m_defaultNamingRadio)->setChecked(true);
    // No toggle happens when the default radio is checked from nothing.
    setCustomizing(customize);
    m_patternEdit->setText(settings.value(FHSettingKey::CustomizeName).toString());
    QRadioButton *const folderRadios[] = { m_noneRadio, m_monthRadio, m_dayRadio };
    const auto mode = FHFolderModes::fromNumber(settings.value(FHSettingKey::SubFolder).toInt());
    folderRadios[int(mode)]->setChecked(true);
    m_copyCheck->setChecked(settings.value(FHSettingKey::IsCopy).toBool());
    m_skipDuplicatesCheck->setChecked(settings.value(FHSettingKey::SkipDuplicates).toBool());
}

void FHOptionGroup::save(FHSettings &settings) const
{
    FHSortOptions options;
    applyTo(options);
    settings.setValue(FHSettingKey::IsExif, options.exifOnly);
    settings.setValue(FHSettingKey::IsRecursive, options.recursive);
    settings.setValue(FHSettingKey::IsCustomize, m_patternRadio->isChecked());
    settings.setValue(FHSettingKey::CustomizeName, m_patternEdit->text());
    settings.setValue(FHSettingKey::SubFolder, int(options.folders));
    settings.setValue(FHSettingKey::IsCopy, options.copy);
    settings.setValue(FHSettingKey::SkipDuplicates, options.duplicates == FHDuplicates::Skip);
}

void FHOptionGroup::retranslate()
{
    setTitle(tr("Option"));
    m_camerasOnlyRadio->setText(
        tr("Process images from digital &cameras and smart phones only, i.e. 'Canon', 'Nikon', "
           "'iPhone', 'SamSung', etc."));
    m_allImagesRadio->setText(
        tr("Process &all kinds of images , i.e. including hand-drawn pictures and screenshots."));
    m_recursionLabel->setText(
        tr("Recursively enter sub-folders when reading images from Input Directory"));
    m_yesRadio->setText(tr("&Yes"));
    m_noRadio->setText(tr("&No"));
    m_defaultNamingRadio->setText(
        tr("Do not c&ustomize output file names so they will default to ascending integers, "
           "i.e. 001.jpg, 002.jpg, 003.jpg, etc."));
    m_patternRadio->setText(tr("Set output file &pattern to:"));
    m_rulesButton->setText(tr("&Rules"));
    m_subFolderLabel->setText(tr("Operations on sub-folders of output directory:"));
    m_noneRadio->setText(tr("Do no&t create sub-folders"));
    m_monthRadio->setText(tr("Create and name by &month (format=YYYY-MM)"));
    m_dayRadio->setText(tr("Create and name by &day (format=YYYY-MM-DD)"));
    m_copyCheck->setText(tr("&Keep the originals (copy)"));
    m_skipDuplicatesCheck->setText(tr("&Skip files already in the library"));
    m_skipDuplicatesCheck->setToolTip(
        tr("A file whose bytes the output folder holds already, or held and lost since, stays "
           "where it is"));
}

void FHOptionGroup::rules()
{
    FHRuleDialog dialog(window());
    dialog.retranslate();
    dialog.setExample(m_patternEdit->text());
    connect(dialog.exampleEdit(), &QLineEdit::textChanged, m_patternEdit, &QLineEdit::setText);
    dialog.exec();
}

void FHOptionGroup::setCustomizing(bool on)
{
    m_patternEdit->setEnabled(on);
    m_rulesButton->setEnabled(on);
}
