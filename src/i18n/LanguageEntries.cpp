#include "i18n/LanguageEntries.h"

#include "i18n/LanguageTable.h"

#include <QString>

namespace LanguageEntries {

namespace {

using P = Property;

const Entry kEntries[kCount] = {
    {"TForm7", "TabSheet1", P::Caption, 0, "HTML"}, // 0
    {"TForm7", "TabSheet2", P::Caption, 0, "HTML-Source"}, // 1
    {"TForm7", "TabSheet3", P::Caption, 0, "Plain"}, // 2
    {"TForm4", "GroupBox1", P::Caption, 0, "Name:"}, // 3
    {"TForm4", "Edit1", P::Text, 0, "Edit1"}, // 4
    {"TForm4", "GroupBox2", P::Caption, 0, "Note"}, // 5
    {"TForm4", "Edit2", P::Text, 0, "Edit1"}, // 6
    {"TForm4", "GroupBox3", P::Caption, 0, "Address"}, // 7
    {"TForm4", "Edit3", P::Text, 0, "Edit1"}, // 8
    {"TForm4", "GroupBox4", P::Caption, 0, "Telefone"}, // 9
    {"TForm4", "Edit4", P::Text, 0, "Edit1"}, // 10
    {"TForm4", "GroupBox5", P::Caption, 0, "IM"}, // 11
    {"TForm4", "Edit5", P::Text, 0, "Edit1"}, // 12
    {"TForm4", "GroupBox6", P::Caption, 0, "Mail"}, // 13
    {"TForm4", "Edit6", P::Text, 0, "Edit1"}, // 14
    {"TForm4", "BitBtn1", P::Caption, 0, "Cancel"}, // 15
    {"TForm4", "BitBtn2", P::Caption, 0, "Save"}, // 16
    {"TForm5", "BitBtn1", P::Caption, 0, "Cancel"}, // 17
    {"TForm5", "BitBtn2", P::Caption, 0, "Save"}, // 18
    {"TForm5", "GroupBox1", P::Caption, 0, "From:"}, // 19
    {"TForm5", "GroupBox2", P::Caption, 0, "Port"}, // 20
    {"TForm5", "Edit2", P::Text, 0, "21"}, // 21
    {"TForm5", "GroupBox3", P::Caption, 0, "Username:"}, // 22
    {"TForm5", "GroupBox4", P::Caption, 0, "To:"}, // 23
    {"TForm5", "GroupBox5", P::Caption, 0, "Password:"}, // 24
    {"TForm8", "GroupBox1", P::Caption, 0, "HTML-Head"}, // 25
    {"TForm8", "GroupBox2", P::Caption, 0, "HTML-Nodes"}, // 26
    {"TForm8", "GroupBox3", P::Caption, 0, "HTML-End"}, // 27
    {"TForm8", "GroupBox4", P::Caption, 0, "Add:"}, // 28
    {"TForm8", "CheckBox1", P::Caption, 0, "Finished"}, // 29
    {"TForm8", "CheckBox2", P::Caption, 0, "Testing"}, // 30
    {"TForm8", "CheckBox3", P::Caption, 0, "At work"}, // 31
    {"TForm8", "CheckBox4", P::Caption, 0, "To do"}, // 32
    {"TForm8", "CheckBox5", P::Caption, 0, "Someday"}, // 33
    {"TForm1", "TabSheet1", P::Caption, 0, "TabSheet1"}, // 34
    {"TForm1", "TabSheet9", P::Caption, 0, "Project"}, // 35
    {"TForm1", "Label5", P::Caption, 0, "Backup-Folder (should not be inside the project folder):"}, // 36
    {"TForm1", "Label6", P::Caption, 0, "Project folder:"}, // 37
    {"TForm1", "Label7", P::Caption, 0, "Main project file to open with the development envrionment:"}, // 38
    {"TForm1", "Label20", P::Caption, 0, "Project name:"}, // 39
    {"TForm1", "Label13", P::Caption, 0, "Version:"}, // 40
    {"TForm1", "CheckBox1", P::Caption, 0, "Include subfolders"}, // 41
    {"TForm1", "CheckBox2", P::Caption, 0, "Include foldernames into the zipfile"}, // 42
    {"TForm1", "TabSheet16", P::Caption, 0, "Developer"}, // 43
    {"TForm1", "ListView3", P::Column, 0, "Name"}, // 44
    {"TForm1", "ListView3", P::Column, 1, "eMail"}, // 45
    {"TForm1", "ListView3", P::Column, 2, "Note"}, // 46
    {"TForm1", "ListView3", P::Column, 3, "IM"}, // 47
    {"TForm1", "ListView3", P::Column, 4, "Tel"}, // 48
    {"TForm1", "ListView3", P::Column, 5, "Address"}, // 49
    {"TForm1", "TabSheet10", P::Caption, 0, "Temporary files"}, // 50
    {"TForm1", "TabSheet11", P::Caption, 0, "Copy files"}, // 51
    {"TForm1", "ListView4", P::Column, 0, "From"}, // 52
    {"TForm1", "ListView4", P::Column, 1, "To"}, // 53
    {"TForm1", "TabSheet12", P::Caption, 0, "Zip folders"}, // 54
    {"TForm1", "TabSheet13", P::Caption, 0, "Upload files"}, // 55
    {"TForm1", "ListView5", P::Column, 0, "From"}, // 56
    {"TForm1", "ListView5", P::Column, 1, "To"}, // 57
    {"TForm1", "TabSheet14", P::Caption, 0, "Scripts/Tools"}, // 58
    {"TForm1", "TabSheet4", P::Caption, 0, "TabSheet4"}, // 59
    {"TForm1", "TabSheet3", P::Caption, 0, "TabSheet3"}, // 60
    {"TForm1", "ListView2", P::Column, 0, "Status"}, // 61
    {"TForm1", "ListView2", P::Column, 1, "Priority"}, // 62
    {"TForm1", "ListView2", P::Column, 2, "Type"}, // 63
    {"TForm1", "ListView2", P::Column, 3, "Official"}, // 64
    {"TForm1", "ListView2", P::Column, 4, "Version"}, // 65
    {"TForm1", "ListView2", P::Column, 5, "Title"}, // 66
    {"TForm1", "ListView2", P::Column, 6, "Description"}, // 67
    {"TForm1", "ListView2", P::Column, 7, "Note"}, // 68
    {"TForm1", "TabSheet2", P::Caption, 0, "TabSheet2"}, // 69
    {"TForm1", "CutButton", P::Caption, 0, "Cu&t"}, // 70
    {"TForm1", "CopyButton", P::Caption, 0, "&Copy"}, // 71
    {"TForm1", "PasteButton", P::Caption, 0, "&Paste"}, // 72
    {"TForm1", "UndoButton", P::Caption, 0, "&Undo"}, // 73
    {"TForm1", "FontSize", P::FontSize, 0, "10"}, // 74
    {"TForm1", "ToolButton2", P::Caption, 0, "ToolButton2"}, // 75
    {"TForm1", "TabSheet5", P::Caption, 0, "TabSheet5"}, // 76
    {"TForm1", "ToolButton1", P::Caption, 0, "Cu&t"}, // 77
    {"TForm1", "ToolButton4", P::Caption, 0, "&Copy"}, // 78
    {"TForm1", "ToolButton5", P::Caption, 0, "&Paste"}, // 79
    {"TForm1", "ToolButton6", P::Caption, 0, "&Undo"}, // 80
    {"TForm1", "Edit20", P::FontSize, 0, "10"}, // 81
    {"TForm1", "ToolButton9", P::Caption, 0, "ToolButton2"}, // 82
    {"TForm1", "TabSheet6", P::Caption, 0, "TabSheet6"}, // 83
    {nullptr, nullptr, P::Unused, 0, ""}, // 84
    {nullptr, nullptr, P::Unused, 0, ""}, // 85
    {nullptr, nullptr, P::Unused, 0, ""}, // 86
    {"TForm1", "Label1", P::Caption, 0, "Project name"}, // 87
    {"TForm1", "File1", P::Caption, 0, "File"}, // 88
    {"TForm1", "NewProject1", P::Caption, 0, "New project"}, // 89
    {"TForm1", "OpenProject1", P::Caption, 0, "Open project"}, // 90
    {"TForm1", "OldProjects1", P::Caption, 0, "Old projects"}, // 91
    {"TForm1", "N5", P::Caption, 0, "-"}, // 92
    {"TForm1", "Save1", P::Caption, 0, "Save"}, // 93
    {"TForm1", "Saveproject1", P::Caption, 0, "Save project"}, // 94
    {"TForm1", "N4", P::Caption, 0, "-"}, // 95
    {"TForm1", "Exit1", P::Caption, 0, "Exit"}, // 96
    {"TForm1", "Edit1", P::Caption, 0, "Functions"}, // 97
    {"TForm1", "Copyfiles1", P::Caption, 0, "Copy files"}, // 98
    {"TForm1", "Zipfolders1", P::Caption, 0, "Zip folders"}, // 99
    {"TForm1", "FirstCopythenzip1", P::Caption, 0, "First copy then zip"}, // 100
    {"TForm1", "Uploadfiles1", P::Caption, 0, "Upload files"}, // 101
    {"TForm1", "N6", P::Caption, 0, "-"}, // 102
    {"TForm1", "Deletetemporaryfiles1", P::Caption, 0, "Delete temporary files"}, // 103
    {"TForm1", "N3", P::Caption, 0, "-"}, // 104
    {"TForm1", "Backuptheproject1", P::Caption, 0, "Backup the project"}, // 105
    {"TForm1", "Runallscripts1", P::Caption, 0, "Run all scripts/tools"}, // 106
    {"TForm1", "Commands1", P::Caption, 0, "Scripts/Tools"}, // 107
    {"TForm1", "Opentheproject1", P::Caption, 0, "Load the project"}, // 108
    {"TForm1", "Info1", P::Caption, 0, "?"}, // 109
    {"TForm1", "Options1", P::Caption, 0, "Options"}, // 110
    {"TForm1", "LAnguage1", P::Caption, 0, "Language"}, // 111
    {"TForm1", "Info2", P::Caption, 0, "Info"}, // 112
    {"TForm1", "Add2", P::Caption, 0, "Add"}, // 113
    {"TForm1", "Delete1", P::Caption, 0, "Delete"}, // 114
    {"TForm1", "N14", P::Caption, 0, "-"}, // 115
    {"TForm1", "Changestatus1", P::Caption, 0, "Change status"}, // 116
    {"TForm1", "Finished1", P::Caption, 0, "Finished"}, // 117
    {"TForm1", "esting1", P::Caption, 0, "Testing"}, // 118
    {"TForm1", "Atwork1", P::Caption, 0, "At work"}, // 119
    {"TForm1", "oDo1", P::Caption, 0, "To-Do"}, // 120
    {"TForm1", "Someday1", P::Caption, 0, "Someday"}, // 121
    {"TForm1", "Changepriority1", P::Caption, 0, "Change priority"}, // 122
    {"TForm1", "Low1", P::Caption, 0, "High"}, // 123
    {"TForm1", "Normal1", P::Caption, 0, "Normal"}, // 124
    {"TForm1", "High1", P::Caption, 0, "Low"}, // 125
    {"TForm1", "Changetype1", P::Caption, 0, "Change type"}, // 126
    {"TForm1", "Bug1", P::Caption, 0, "Bug"}, // 127
    {"TForm1", "Change1", P::Caption, 0, "Change"}, // 128
    {"TForm1", "Removed1", P::Caption, 0, "Removed"}, // 129
    {"TForm1", "New1", P::Caption, 0, "New"}, // 130
    {"TForm1", "Changeofficial1", P::Caption, 0, "Change official"}, // 131
    {"TForm1", "Official1", P::Caption, 0, "Official"}, // 132
    {"TForm1", "Unofficial1", P::Caption, 0, "Unofficial"}, // 133
    {"TForm1", "Changeversion1", P::Caption, 0, "Change version"}, // 134
    {"TForm1", "N12", P::Caption, 0, "-"}, // 135
    {"TForm1", "Createchangelog2", P::Caption, 0, "Create changelog"}, // 136
    {"TForm1", "Createchangelogofselecteditems1", P::Caption, 0, "Create changelog of selected items"}, // 137
    {"TForm1", "Delete2", P::Caption, 0, "Delete"}, // 138
    {nullptr, nullptr, P::Unused, 0, ""}, // 139
    {"TForm1", "Newfileextansion1", P::Caption, 0, "New file-extension"}, // 140
    {"TForm1", "N7", P::Caption, 0, "-"}, // 141
    {"TForm1", "Delete3", P::Caption, 0, "Delete"}, // 142
    {"TForm1", "Newfile1", P::Caption, 0, "New file"}, // 143
    {"TForm1", "Newfolder1", P::Caption, 0, "New folder"}, // 144
    {"TForm1", "N8", P::Caption, 0, "-"}, // 145
    {"TForm1", "Delete4", P::Caption, 0, "Delete"}, // 146
    {"TForm1", "Newfolder2", P::Caption, 0, "New folder"}, // 147
    {"TForm1", "N9", P::Caption, 0, "-"}, // 148
    {"TForm1", "Delete5", P::Caption, 0, "Delete"}, // 149
    {"TForm1", "Newupload1", P::Caption, 0, "New upload"}, // 150
    {"TForm1", "N10", P::Caption, 0, "-"}, // 151
    {"TForm1", "Delete6", P::Caption, 0, "Delete"}, // 152
    {"TForm1", "Newscripttool1", P::Caption, 0, "New script/tool"}, // 153
    {"TForm1", "N11", P::Caption, 0, "-"}, // 154
    {"TForm1", "Delete7", P::Caption, 0, "Delete"}, // 155
    {"TForm1", "Newdeveloper1", P::Caption, 0, "New developer"}, // 156
    {"TForm1", "N2", P::Caption, 0, "-"}, // 157
    {"TForm1", "WriteeMail1", P::Caption, 0, "Write eMail"}, // 158
    {"TForm1", "Delete8", P::Caption, 0, "Delete"}, // 159
    {"TForm3", "GroupBox1", P::Caption, 0, "Title:"}, // 160
    {"TForm3", "GroupBox2", P::Caption, 0, "Description:"}, // 161
    {"TForm3", "GroupBox3", P::Caption, 0, "Properties"}, // 162
    {"TForm3", "CheckBox1", P::Caption, 0, "Official"}, // 163
    {"TForm3", "ComboBox1", P::DialogItem, 0, "Bug"}, // 164
    {"TForm3", "ComboBox1", P::DialogItem, 1, "Changed"}, // 165
    {"TForm3", "ComboBox1", P::DialogItem, 2, "Removed"}, // 166
    {"TForm3", "ComboBox1", P::DialogItem, 3, "New"}, // 167
    {"TForm3", "ComboBox2", P::DialogItem, 0, "High"}, // 168
    {"TForm3", "ComboBox2", P::DialogItem, 1, "Low"}, // 169
    {"TForm3", "ComboBox2", P::DialogItem, 2, "Normal"}, // 170
    {"TForm3", "ComboBox3", P::DialogItem, 0, "Finished"}, // 171
    {"TForm3", "ComboBox3", P::DialogItem, 1, "Testing"}, // 172
    {"TForm3", "ComboBox3", P::DialogItem, 2, "At work"}, // 173
    {"TForm3", "ComboBox3", P::DialogItem, 3, "To do"}, // 174
    {"TForm3", "ComboBox3", P::DialogItem, 4, "Someday"}, // 175
    {"TForm3", "BitBtn1", P::Caption, 0, "Cancel"}, // 176
    {"TForm3", "BitBtn2", P::Caption, 0, "Save"}, // 177
    {"TForm3", "GroupBox4", P::Caption, 0, "Version:"}, // 178
    {"TForm3", "GroupBox5", P::Caption, 0, "Note:"}, // 179
    {"TForm1", "ListView1", P::Item, 0, "Home"}, // 180
    {"TForm1", "ListView1", P::Item, 1, "Notes"}, // 181
    {"TForm1", "ListView1", P::Item, 2, "To-Do"}, // 182
    {"TForm1", "ListView1", P::Item, 3, "Description"}, // 183
    {"TForm1", "ListView1", P::Item, 4, "License"}, // 184
    {"TForm1", "ListView1", P::Item, 5, "Temporary-files"}, // 185
    {"TForm3", "TypeLabel", P::Caption, 0, "&Type"}, // 186
    {"TForm3", "PriorityLabel", P::Caption, 0, "&Priority"}, // 187
    {"TForm3", "StatusLabel", P::Caption, 0, "&Status"}, // 188
    {"TForm5", "ShowPassword", P::Caption, 0, "Show"}, // 189
    {"TForm5", "ShowPassword", P::DownCaption, 0, "Hide"}, // 190
    {"TForm8", "CheckBox6", P::Caption, 0, "Delete temporary files permanently"}, // 191
    {"TForm8", "GroupBox5", P::Caption, 0, "Temporary files"}, // 192
    {"TForm1", "Movepasswords1", P::Caption, 0, "Move passwords to the keyring"}, // 193
    {"TForm5", "KeepInKeyring", P::Caption, 0, "Keep the password in the system keyring"}, // 194
    {"TForm8", "BackupGroup", P::Caption, 0, "Backup"}, // 195
    {"TForm8", "BackupsToKeepLabel", P::Caption, 0, "Backups to &keep (0 keeps all):"}, // 196
    {"TForm5", "NoKeyring", P::Caption, 0, "No system keyring can keep passwords here, so the project file does."}, // 197
    {"TForm1", "LogCopy", P::Caption, 0, "&Copy"}, // 198
    {"TForm1", "LogSave", P::Caption, 0, "&Save..."}, // 199
    {"TForm1", "PreviewUploads", P::Caption, 0, "Preview"}, // 200
    {"TForm5", "RemoveStale", P::Caption, 0, "Also remove files on the server that I uploaded before and that are gone here"}, // 201
    {"TForm5", "BrowseFile", P::Caption, 0, "File..."}, // 202
    {"TForm5", "BrowseFolder", P::Caption, 0, "Folder..."}, // 203
    {"TForm1", "TransferList", P::Column, 0, "File"}, // 204
    {"TForm1", "TransferList", P::Column, 1, "Size"}, // 205
    {"TForm1", "TransferList", P::Column, 2, "State"}, // 206
    {"TForm1", "TransferList", P::Column, 3, "Speed"}, // 207
    {"TForm1", "TransferList", P::Column, 4, "Reason"}, // 208
    {"TForm1", "TransfersAtOnceLabel", P::Caption, 0, "&Transfers at once:"}, // 209
    {"TForm8", "ChangelogTab", P::Caption, 0, "Changelog"}, // 210
    {"TForm8", "GeneralTab", P::Caption, 0, "General"}, // 211
    {"TForm8", "CloseOptions", P::Caption, 0, "Close"}, // 212
};

} // namespace

std::span<const Entry, kCount> all()
{
    return kEntries;
}

bool isApplied(const Entry &entry)
{
    return entry.property != Property::Unused && entry.property != Property::DialogItem
           && entry.property != Property::FontSize;
}

QString text(const LanguageTable &table, int number)
{
    if (number >= kRequiredCount && number >= table.size())
        return QString::fromLatin1(kEntries[number].builtIn);
    return table.entry(number);
}

} // namespace LanguageEntries
