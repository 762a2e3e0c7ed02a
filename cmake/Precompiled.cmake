# Precompiled headers. Most of a clean build's time goes into reading Qt's
# headers again for every source file; each library (and each kind of test)
# reads them once instead. The lists hold the headers most sources use; a
# source still includes what it needs itself, so a build with
# -DNASTAVNIK_PCH=OFF must keep compiling.

# Qt Core and Gui only: the engine never sees a widget.
set(NASTAVNIK_PCH_ENGINE
    <QBuffer> <QByteArray> <QColor> <QCoreApplication> <QDir> <QDirIterator> <QFile>
    <QFileInfo> <QFont> <QGuiApplication> <QHash> <QImage> <QList> <QLocale>
    <QPainter> <QPixmap> <QRect> <QRegularExpression> <QSaveFile> <QSet> <QSize>
    <QString> <QStringDecoder> <QStringEncoder> <QStringList> <QTextBlock>
    <QTextCursor> <QTextDocument> <QTextFormat> <QTimer> <QUrl> <QtEndian>
    <algorithm> <array> <cstdint> <functional> <memory> <optional> <utility> <vector>)

set(NASTAVNIK_PCH_UI ${NASTAVNIK_PCH_ENGINE}
    <QApplication> <QDialog> <QEvent> <QLabel> <QLineEdit> <QListWidget> <QMainWindow>
    <QMenu> <QMenuBar> <QMessageBox> <QMouseEvent> <QPushButton> <QTextEdit> <QWidget>)

set(NASTAVNIK_PCH_TEST <QTemporaryDir> <QTest>)

# nastavnik_precompile(target ENGINE|UI [TEST]) gives the target its own
# precompiled header made of the kind's list.
function(nastavnik_precompile target kind)
    if(NOT NASTAVNIK_PCH)
        return()
    endif()
    set(headers ${NASTAVNIK_PCH_${kind}})
    if("TEST" IN_LIST ARGN)
        list(APPEND headers ${NASTAVNIK_PCH_TEST})
    endif()
    target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# nastavnik_reuse_precompiled(target...) lets programs that link a library
# (the program, the tools, the benchmarks) use that library's precompiled
# header instead of reading Qt's headers again. They have no moc'd classes.
function(nastavnik_reuse_precompiled)
    foreach(target IN LISTS ARGN)
        set_target_properties(${target} PROPERTIES AUTOMOC OFF)
        # The fuzzing build instruments the engine's own sources for coverage,
        # which its precompiled header then carries.
        if(NOT NASTAVNIK_PCH OR NASTAVNIK_FUZZ)
            continue()
        endif()
        get_target_property(libraries ${target} LINK_LIBRARIES)
        if(nastavnik_ui IN_LIST libraries)
            target_precompile_headers(${target} REUSE_FROM nastavnik_ui)
        elseif(nastavnik_engine IN_LIST libraries)
            target_precompile_headers(${target} REUSE_FROM nastavnik_engine)
        endif()
    endforeach()
endfunction()
