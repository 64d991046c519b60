// The viewer files a saved slide show carries beside it: the viewer program itself, a script
// that plays the show, and for the installable form a desktop entry and a script that adds
// that entry to the user's application menu.
#pragma once

#include <QString>
#include <QStringList>

// The viewer program that goes with this editor: the one set with setViewerProgram, else
// "morvane-viewer" in the editor's own folder.
QString viewer_program();
void set_viewer_program(const QString& path);

// Fills `folder` with the files the engine copies for a saved show: a link to the viewer
// program (left out when the program is missing, so that the copy reports it as missing)
// and the scripts and desktop entry, written here. False with `error` set when the folder
// cannot be written.
bool stage_viewer_files(const QString& folder, QString& error);

// Makes the copied viewer program and scripts in `folder` executable.
void make_viewer_files_executable(const QString& folder, const QStringList& names);
