// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// Names every media file from the folder that holds the program: the folder,
// then a sub-folder, then a name, joined with nothing else in between.
class MediaPaths {
public:
    explicit MediaPaths(QString programFolder);

    const QString &programFolder() const { return folder_; }

    // The folder whose media the program shows: that of the path it was
    // started by, as given (a copy's link to the installed program), when it
    // holds the word lists; else `programFolder`, where the program file is.
    static QString startFolder(const QString &startedAs, const QString &programFolder);

    // letter "A".."U", style 1..4: jpg/A1.jpg .. jpg/U4.jpg
    QString letterPicture(const QString &letter, int style) const;
    // the face that says the vowel: jpg/A.jpg
    QString facePicture(const QString &letter) const;
    // a word's picture: jpg/<word>.jpg
    QString wordPicture(const QString &word) const;
    // a vowel's or a word's voice: voci/<name>.wav
    QString voice(const QString &name) const;
    // praise n = 1..4: suoni/si<n>.wav
    QString praise(int n) const;
    // suoni/no.wav
    QString errorSound() const;
    // the word list of a vowel: testi/a.txt .. testi/u.txt
    QString wordList(const QString &letter) const;

private:
    QString join(const char *subFolder, const QString &name) const;
    QString folder_;
};

} // namespace zampli
