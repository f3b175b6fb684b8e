#pragma once

#include "controls/kernel_run.h"
#include "kernel/optimise.h"
#include "tools/toolwindows.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class QWidget;

namespace lumetrix {

class TPBNumEdit;
class UserDialogs;

// The optimisation window: the criterion, the parameters with their intervals, the method,
// the stop rule and the intermediate files of an optimisation of the photocurrent, which RUN
// hands to the kernel. It does not lock the main window and stays on top.
class TLXOpt_Form : public TToolWindow {
    Q_OBJECT
public:
    explicit TLXOpt_Form(UserDialogs& dialogs);
    ~TLXOpt_Form() override; // a run still going is killed

    QLineEdit* eOpt_layers = nullptr;
    QWidget* Panel1 = nullptr;
    QRadioButton* rbMin_Jsc = nullptr;
    QRadioButton* rbMax_Jsc = nullptr;
    QRadioButton* rbMin_diff_Jsc = nullptr;

    QCheckBox* cbThickness = nullptr;
    TPBNumEdit* eThickness = nullptr;
    QRadioButton* rbThickness1 = nullptr;
    QRadioButton* rbThickness2 = nullptr;
    QRadioButton* rbThickness3 = nullptr;
    TPBNumEdit* pbThickness_a = nullptr;
    TPBNumEdit* pbThickness_b = nullptr;

    QCheckBox* cbRoughness = nullptr;
    QLineEdit* eRoughness = nullptr;
    QRadioButton* rbRoughness1 = nullptr;
    QRadioButton* rbRoughness2 = nullptr;
    QRadioButton* rbRoughness3 = nullptr;
    TPBNumEdit* pbRoughness_a = nullptr;
    TPBNumEdit* pbRoughness_b = nullptr;

    QCheckBox* cbRefractive = nullptr;
    TPBNumEdit* eRefractive = nullptr;
    QRadioButton* rbRefractive1 = nullptr;
    TPBNumEdit* pbRefractive_a = nullptr;
    TPBNumEdit* pbRefractive_b = nullptr;

    QCheckBox* cbExtinction = nullptr;
    TPBNumEdit* eExtinction = nullptr;
    QRadioButton* rbExtinction1 = nullptr;
    QRadioButton* rbExtinction2 = nullptr;
    QRadioButton* rbExtinction3 = nullptr;
    TPBNumEdit* pbExtinction_a = nullptr;
    TPBNumEdit* pbExtinction_b = nullptr;

    QRadioButton* rbMethod1 = nullptr;
    QRadioButton* rbMethod2 = nullptr;
    QRadioButton* rbMethod3 = nullptr;
    QRadioButton* rbMethod4 = nullptr;
    QRadioButton* rbMethod5 = nullptr;
    TPBNumEdit* pbSteps = nullptr;
    TPBNumEdit* pbPrecision = nullptr;

    QRadioButton* rbIO_0 = nullptr;
    QRadioButton* rbIO_1 = nullptr;
    QRadioButton* rbIO_2 = nullptr;

    QPushButton* btOptimRUN = nullptr;
    TPBNumEdit* pbIter_No = nullptr;
    TPBNumEdit* eThick_result = nullptr;
    TPBNumEdit* eRough_result = nullptr;
    TPBNumEdit* eRef_result = nullptr;
    TPBNumEdit* eExt_result = nullptr;
    QLabel* lbRunState = nullptr; // how the run goes: the best Jsc so far, or how it ended

    // Handlers.
    void cbThicknessClick();
    void cbRoughnessClick();
    void cbRefractiveClick();
    void cbExtinctionClick();
    void FormResize();
    // RUN: checks the choices, has the project saved, writes the settings beside it and
    // starts the kernel; while it runs the button stops it.
    void btOptimRUNClick();

    // The choices as the kernel takes them, or why they are incomplete (the message RUN
    // shows). Layers and interfaces become the kernel's row positions.
    bool collectSettings(kernel::OptimiseSettings& settings, QString& fault) const;
    bool running() const { return m_run->running(); }
    // The settings file of the last RUN.
    QString settingsPath() const { return m_settingsPath; }
    // Takes one line of the kernel's output: a progress line or the best line.
    void takeKernelLine(const QString& line);

    // The designed client area: the content's size, and the window's where the screen holds it.
    static constexpr QSize kDesignedSize{931, 738};

signals:
    // RUN wants the project saved for the kernel: the receiver sets the input file's path,
    // or leaves it empty when the project could not be saved (the user has been told why).
    void projectInputWanted(QString* inputFile);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The controls of one parameter: its check box, its panel and its result display.
    struct Parameter {
        QCheckBox* box = nullptr;
        QWidget* panel = nullptr;
        QWidget* target = nullptr; // the layer or interface edit
        TPBNumEdit* result = nullptr;
    };
    void buildWindow();
    QWidget* buildCriteria();
    // The frame of a parameter with its switch "cb<name>" and panel "<name>Panel"; returns the
    // panel's column.
    QVBoxLayout* parameterFrame(const QString& caption, const QString& name, QFrame*& frame,
                                QCheckBox*& check, QWidget*& panel);
    // The (a) and (b) edits "<prefix>_a" and "<prefix>_b" in their row.
    void addIntervals(QVBoxLayout* inner, QWidget* panel, const QString& prefix, TPBNumEdit*& a,
                      TPBNumEdit*& b);
    QWidget* buildThickness();
    QWidget* buildRoughness();
    QWidget* buildRefractive();
    QWidget* buildExtinction();
    QWidget* buildMethods();
    QWidget* buildResults();
    void parameterClick(const Parameter& parameter);
    // The steps of collectSettings: what is optimised (criterion and layers), the parameters
    // switched on with their intervals, the method with its stop rule and output.
    bool collectTarget(kernel::OptimiseSettings& s, QString& fault) const;
    bool collectParameters(kernel::OptimiseSettings& s, QString& fault) const;
    bool collectMethod(kernel::OptimiseSettings& s, QString& fault) const;
    void startRun();
    void stopRun();
    // The run has ended: the best found stays in view, a failure is told.
    void runEnded(KernelRun::End end, const QString& failure);

    UserDialogs& m_dialogs;
    Parameter m_thickness, m_roughness, m_refractive, m_extinction;
    KernelRun* m_run = nullptr;
    QString m_settingsPath;
    QString m_bestJsc;            // the best of the iterations so far, as the kernel wrote it
    QWidget* m_content = nullptr; // in a scroll area
    int m_normalLeft = 0;
};

} // namespace lumetrix
