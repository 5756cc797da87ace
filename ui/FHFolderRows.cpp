#include "ui/FHFolderRows.h"

#include "engine/FHPaths.h"
#include "ui/FHRemovableVolumes.h"
#include "ui/FHSettings.h"

#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

// Sets the least width of the fields: 26 characters of a typical path.
const QString samplePath = QStringLiteral("/home/photos/2014/paris-01");
const QString browseText = QStringLiteral("...");

template<typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

} // namespace

FHFolderRows::FHFolderRows(QWidget *parent)
    : QWidget(parent)
    , m_inputCaption(named(new QLabel(this), "inputCaption"))
    , m_inputEdit(named(new QLineEdit(this), "inputEdit"))
    , m_inputBrowseButton(named(new QPushButton(browseText, this), "inputBrowseButton"))
    , m_outputCaption(named(new QLabel(this), "outputCaption"))
    , m_outputEdit(named(new QLineEdit(this), "outputEdit"))
    , m_outputBrowseButton(named(new QPushButton(browseText, this), "outputBrowseButton"))
    , m_volumeRoots(removableVolumeRoots())
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    const QFontMetrics metrics(font());
    for (QLineEdit *edit : { m_inputEdit, m_outputEdit }) {
        edit->setMinimumWidth(metrics.horizontalAdvance(samplePath) + 15);
        connect(edit, &QLineEdit::textChanged, this, &FHFolderRows::changed);
    }
    for (QPushButton *button : { m_inputBrowseButton, m_outputBrowseButton })
        button->setMaximumWidth(metrics.horizontalAdvance(browseText) + 15);
    m_inputCaption->setBuddy(m_inputEdit);
    m_outputCaption->setBuddy(m_outputEdit);
    grid->addWidget(m_inputCaption, 0, 0);
    grid->addWidget(m_inputEdit, 0, 1);
    grid->addWidget(m_inputBrowseButton, 0, 2);
    grid->addWidget(m_outputCaption, 1, 0);
    grid->addWidget(m_outputEdit, 1, 1);
    grid->addWidget(m_outputBrowseButton, 1, 2);
    connect(m_inputBrowseButton, &QPushButton::clicked, this, &FHFolderRows::chooseInput);
    connect(m_outputBrowseButton, &QPushButton::clicked, this, [this] { choose(m_outputEdit); });
}

FHFolderRows::~FHFolderRows() = default;

QString FHFolderRows::input() const
{
    return m_inputEdit->text();
}

QString FHFolderRows::output() const
{
    return m_outputEdit->text();
}

bool FHFolderRows::bothGiven() const
{
    return !input().trimmed().isEmpty() && !output().trimmed().isEmpty();
}

void FHFolderRows::load(const FHSettings &settings)
{
    m_inputEdit->setText(settings.value(FHSettingKey::Input).toString());
    m_outputEdit->setText(settings.value(FHSettingKey::Output).toString());
}

void FHFolderRows::save(FHSettings &settings) const
{
    settings.setValue(FHSettingKey::Input, input());
    settings.setValue(FHSettingKey::Output, output());
}

void FHFolderRows::retranslate()
{
    m_inputCaption->setText(tr("&Input Directory"));
    m_outputCaption->setText(tr("&Output Directory"));
}

// A card in the reader is offered by its name, above the folder dialog.
void FHFolderRows::chooseInput()
{
    const QVector<FHVolume> volumes = removableVolumes(m_volumeRoots);
    if (volumes.isEmpty()) {
        choose(m_inputEdit);
        return;
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("volumeMenu"));
    for (const FHVolume &volume : volumes) {
        QAction *action = menu.addAction(
            QStringLiteral("%1  (%2)").arg(volume.label, QDir::toNativeSeparators(volume.path)));
        const QString path = QDir::toNativeSeparators(volume.path);
        connect(
            action, &QAction::triggered, m_inputEdit, [this, path] { m_inputEdit->setText(path); });
    }
    menu.addSeparator();
    connect(
        menu.addAction(tr("Other folder...")), &QAction::triggered, this,
        [this] { choose(m_inputEdit); }, Qt::QueuedConnection);
    menu.exec(m_inputBrowseButton->mapToGlobal(QPoint(0, m_inputBrowseButton->height())));
}

void FHFolderRows::choose(QLineEdit *edit)
{
    QFileDialog dialog(window(), tr("Browse"), QString(), QString());
    dialog.setDirectory(edit->text());
    dialog.setViewMode(QFileDialog::Detail);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        edit->setText(FHPaths::shown(dialog.selectedFiles().first()));
}
