#ifndef FHFOLDERROWS_H
#define FHFOLDERROWS_H

#include <QStringList>
#include <QWidget>

class FHSettings;
class QLabel;
class QLineEdit;
class QPushButton;

// The main window's Input Directory and Output Directory rows: a caption, the
// path as typed, and "..." to choose a folder.
class FHFolderRows : public QWidget
{
    Q_OBJECT

public:
    explicit FHFolderRows(QWidget *parent = nullptr);
    ~FHFolderRows() override;

    QString input() const;
    QString output() const;
    QLineEdit *inputEdit() const { return m_inputEdit; }
    QLineEdit *outputEdit() const { return m_outputEdit; }
    // Both paths given, so a sort may start.
    bool bothGiven() const;

    // Where the input's "..." looks for cards; the desktop's mount folders
    // unless set.
    void setVolumeRoots(const QStringList &roots) { m_volumeRoots = roots; }

    void load(const FHSettings &settings);
    void save(FHSettings &settings) const;
    void retranslate();

signals:
    void changed();

private:
    void chooseInput();
    void choose(QLineEdit *edit);

    QLabel *m_inputCaption;
    QLineEdit *m_inputEdit;
    QPushButton *m_inputBrowseButton;
    QLabel *m_outputCaption;
    QLineEdit *m_outputEdit;
    QPushButton *m_outputBrowseButton;
    QStringList m_volumeRoots;
};

#endif // FHFOLDERROWS_H
