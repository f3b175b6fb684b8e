#include "testapp.h"

#include "controls/platform_hooks.h"

#include <filesystem>

namespace lumetrix::test {

void copyTree(const QString& from, const QString& to) {
    std::filesystem::copy(from.toStdString(), to.toStdString(),
                          std::filesystem::copy_options::recursive);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString texts(const QList<const QWidget*>& widgets) {
    QStringList out;
    for (const QWidget* w : widgets)
        out << w->property(qobject_cast<const QComboBox*>(w) ? "currentText" : "text").toString();
    return out.join('|');
}

QString shown(const QList<const QWidget*>& widgets) {
    QString out;
    for (const QWidget* w : widgets)
        out += w->isVisible() ? '1' : '0';
    return out;
}

QString frameOf(const QWidget& w) {
    return QStringLiteral("%1|%2x%3|%4|%5")
        .arg(w.windowTitle())
        .arg(w.width())
        .arg(w.height())
        .arg(bool(w.windowFlags() & Qt::WindowStaysOnTopHint))
        .arg(bool(w.windowFlags() & Qt::WindowMinimizeButtonHint));
}

QString clippedCells(const QTableView* table) {
    QStringList clipped;
    if (table->horizontalHeader()->isHidden())
        clipped << "hidden";
    const QAbstractItemModel& model = *table->model();
    for (int r = 0; r < model.rowCount(); ++r)
        for (int c = 0; c < model.columnCount(); ++c) {
            const QString text = model.index(r, c).data().toString();
            if (table->fontMetrics().horizontalAdvance(text) + 6 > table->columnWidth(c))
                clipped << text;
        }
    return clipped.join('|');
}

void typeOver(QLineEdit* edit, const QString& text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

void rows(const QList<const char*>& names) {
    QTest::addColumn<int>("index");
    for (int i = 0; i < names.size(); ++i)
        QTest::newRow(names[i]) << i;
}

TestApp::TestApp(bool create) {
    m_workDir = m_temp.filePath("work");
    copyTree(LUMETRIX_DATA_DIR, m_workDir);
    QFile::remove(m_workDir + "/in/CIGS example.dat"); // no start project unless restored
    settings = std::make_unique<SettingsStore>(m_temp.filePath("settings.ini"));
    RegionalSettings::instance().setSeparators({'.', ','});
    m_oldBeep = hooks::setBeep([this] { ++beeps; });
    m_oldModifiers = hooks::setKeyboardModifiers([this] { return modifiers; });
    if (create)
        createForms();
}

TestApp::~TestApp() {
    forms.reset();
    hooks::setBeep(m_oldBeep);
    hooks::setKeyboardModifiers(m_oldModifiers);
}

bool TestApp::installAddOn(const QString& spectrumFixture, const QString& name) {
    if (!QFile::copy(LUMETRIX_ADDON_PATH, m_workDir + "/libLXPro.so"))
        return false;
    if (spectrumFixture.isEmpty())
        return true;
    const QString spectrum = m_workDir + "/Spectrum/" + name + ".spk";
    QFile::remove(spectrum); // the fixture stands in for a shipped spectrum of that name
    return QFile::copy(LUMETRIX_TEST_DATA_DIR "/" + spectrumFixture, spectrum);
}

void TestApp::createForms(const QStringList& files) {
    forms = std::make_unique<Forms>(AppContext{dialogs, *settings, m_workDir, files});
}

TMainForm& TestApp::activeMain() {
    main().show();
    main().activateWindow();
    QTest::qVerify(QTest::qWaitForWindowActive(&main()), "the main window is active", "", __FILE__,
                   __LINE__);
    if (!main().activated())
        main().FormActivate();
    dialogs.calls.clear();
    return main();
}

void TestApp::showPage(int tag, bool advanced) {
    activeMain().ToolBarClick(main().SideButtons[static_cast<std::size_t>(tag)]);
    if (main().advancedFlag(static_cast<Page>(tag)) != advanced)
        main().AdvButtonClick();
}

void TestApp::addLayers(int count) {
    for (int i = 0; i < count; ++i) {
        forms->StructureForm->LbSpeedButton1MouseDown();
        forms->StructureForm->LbSpeedButton1MouseUp();
    }
}

std::vector<std::string> TestApp::build() {
    std::vector<std::string> lines;
    main().BuildInputFile(lines);
    return lines;
}

bool TestApp::saveAndReopen(const QString& name) {
    // Saved under its name, the project is not changed: opening asks nothing.
    dialogs.answerFile(tempPath(name));
    main().SaveAs1Click();
    return main().OpenInputFile(tempPath(name));
}

} // namespace lumetrix::test
