#ifndef FHOPTIONGROUP_H
#define FHOPTIONGROUP_H

#include <QGroupBox>

class FHSettings;
struct FHSortOptions;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The main window's option rows: which images, recursion, naming,
// sub-folders, copy or move and duplicates, with the settings they are kept in.
class FHOptionGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit FHOptionGroup(QWidget *parent = nullptr);
    ~FHOptionGroup() override;

    // Sets the options the rows choose; the others are left as they are.
    void applyTo(FHSortOptions &options) const;
    void load(const FHSettings &settings);
    void save(FHSettings &settings) const;
    void retranslate();

    QLineEdit *patternEdit() const { return m_patternEdit; }

private:
    void rules();
    void setCustomizing(bool on);

    QRadioButton *m_camerasOnlyRadio;
    QRadioButton *m_allImagesRadio;
    QLabel *m_recursionLabel;
    QRadioButton *m_yesRadio;
    QRadioButton *m_noRadio;
    QRadioButton *m_defaultNamingRadio;
    QRadioButton *m_patternRadio;
    QLineEdit *m_patternEdit;
    QPushButton *m_rulesButton;
    QLabel *m_subFolderLabel;
    QRadioButton *m_noneRadio;
    QRadioButton *m_monthRadio;
    QRadioButton *m_dayRadio;
    QCheckBox *m_copyCheck;
    QCheckBox *m_skipDuplicatesCheck;
};

#endif // FHOPTIONGROUP_H
