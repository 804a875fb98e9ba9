; Velto's installer: one folder with the program, its help, the gain tool and
; the licences, a Start-menu shortcut, and an entry in the list of installed
; programs with an uninstaller. Per-user: it needs no administrator.
;
;   makensis -DVERSION=1.2 -DVERSION_NUMBERS=1.2.0.0 -DSTAGE=DIR -DICON=FILE.ico
;            -DOUTFILE=FILE.exe Velto.nsi
;
; STAGE holds the files to install (tools/release/make-packages puts them there).
; Silent use: Velto-1.2-setup.exe /S [/D=C:\folder]; Uninstall.exe /S.
;
; The user's database (Velto.db) never lives among the files below and is
; never touched: the uninstaller deletes only the files it names, and an
; install over an older version replaces only those files. The replacement
; is all or nothing: the new files are unpacked beside the old ones first,
; the old ones are moved aside, and if any step fails every old file goes
; back where it was.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
; A file that cannot be written ends the install; it is never skipped.
AllowSkipFiles off

!include MUI2.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velto"
; Folders inside the install folder, so that moving a file never crosses drives.
!define NEW_FILES "Velto-setup-new"
!define OLD_FILES "Velto-setup-old"

Name "Velto ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velto"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=1033 "ProductName" "Velto"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Velto ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Velto authors"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright © The Velto authors"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Velto.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The files taken from STAGE, and with the uninstaller every file installed.
!macro ForEachStagedFile MACRO
    !insertmacro ${MACRO} "Velto.exe"
    !insertmacro ${MACRO} "Velto.chm"
    !insertmacro ${MACRO} "aacgain.exe"
    !insertmacro ${MACRO} "mp3gain.exe"
    !insertmacro ${MACRO} "License.txt"
    !insertmacro ${MACRO} "aacgain License.txt"
    !insertmacro ${MACRO} "mp3gain License.txt"
!macroend
!macro ForEachFile MACRO
    !insertmacro ForEachStagedFile ${MACRO}
    !insertmacro ${MACRO} "Uninstall.exe"
!macroend

Var FailedFile

!macro ExtractFile NAME
    File "/oname=${NAME}" "${STAGE}/${NAME}"
!macroend

; What an interrupted install left: an old file that was moved aside and not
; replaced goes back; everything else there goes.
!macro ClearLeftover NAME
    ${If} ${FileExists} "$INSTDIR\${OLD_FILES}\${NAME}"
    ${AndIfNot} ${FileExists} "$INSTDIR\${NAME}"
        Rename "$INSTDIR\${OLD_FILES}\${NAME}" "$INSTDIR\${NAME}"
    ${EndIf}
    Delete "$INSTDIR\${OLD_FILES}\${NAME}"
    Delete "$INSTDIR\${NEW_FILES}\${NAME}"
!macroend

; Moving fails when another program holds the file open (Velto's help, say).
!macro MoveOldAside NAME
    ${If} $FailedFile == ""
    ${AndIf} ${FileExists} "$INSTDIR\${NAME}"
        ClearErrors
        Rename "$INSTDIR\${NAME}" "$INSTDIR\${OLD_FILES}\${NAME}"
        ${If} ${Errors}
            StrCpy $FailedFile "${NAME}"
        ${EndIf}
    ${EndIf}
!macroend

!macro MoveNewIn NAME
    ${If} $FailedFile == ""
        ClearErrors
        Rename "$INSTDIR\${NEW_FILES}\${NAME}" "$INSTDIR\${NAME}"
        ${If} ${Errors}
            StrCpy $FailedFile "${NAME}"
        ${EndIf}
    ${EndIf}
!macroend

; Undoes MoveNewIn and MoveOldAside for one file: a new file that reached the
; install folder is deleted (it is no longer waiting), the old one returns.
!macro PutOldBack NAME
    ${IfNot} ${FileExists} "$INSTDIR\${NEW_FILES}\${NAME}"
        Delete "$INSTDIR\${NAME}"
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\${OLD_FILES}\${NAME}"
        Rename "$INSTDIR\${OLD_FILES}\${NAME}" "$INSTDIR\${NAME}"
    ${EndIf}
!macroend

!macro DeleteWaiting NAME
    Delete "$INSTDIR\${NEW_FILES}\${NAME}"
!macroend

; An old program that still runs cannot be deleted; the next install clears it.
!macro DeleteOld NAME
    Delete "$INSTDIR\${OLD_FILES}\${NAME}"
!macroend

!macro DeleteInstalled NAME
    Delete "$INSTDIR\${NAME}"
!macroend

!macro RemoveWorkFolders
    !insertmacro ForEachFile DeleteWaiting
    !insertmacro ForEachFile DeleteOld
    RMDir "$INSTDIR\${NEW_FILES}"
    RMDir "$INSTDIR\${OLD_FILES}"
!macroend

Function FailInstall
    Exch $0
    SetOutPath "$INSTDIR"
    !insertmacro RemoveWorkFolders
    ; Only a folder this install made is empty now.
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    MessageBox MB_OK|MB_ICONSTOP "$0$\n$\nNothing was changed: the Velto you had, if any, is as it was." /SD IDOK
    SetErrorLevel 2
    Abort
FunctionEnd

Section "Velto"
    SetOutPath "$INSTDIR"
    !insertmacro ForEachFile ClearLeftover
    RMDir "$INSTDIR\${NEW_FILES}"
    RMDir "$INSTDIR\${OLD_FILES}"

    ClearErrors
    SetOutPath "$INSTDIR\${NEW_FILES}"
    !insertmacro ForEachStagedFile ExtractFile
    WriteUninstaller "$INSTDIR\${NEW_FILES}\Uninstall.exe"
    CreateDirectory "$INSTDIR\${OLD_FILES}"
    ${If} ${Errors}
        Push "Velto's files could not be written into $INSTDIR."
        Call FailInstall
    ${EndIf}

    SetOutPath "$INSTDIR"
    StrCpy $FailedFile ""
    !insertmacro ForEachFile MoveOldAside
    !insertmacro ForEachFile MoveNewIn
    ${If} $FailedFile != ""
        !insertmacro ForEachFile PutOldBack
        Push "Setup could not replace $INSTDIR\$FailedFile. Close Velto and its help, then run the setup again."
        Call FailInstall
    ${EndIf}
    !insertmacro RemoveWorkFolders

    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Velto.lnk" "$INSTDIR\Velto.exe"
    SectionGetSize 0 $0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Velto"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velto.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Velto authors"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    !insertmacro ForEachFile DeleteInstalled
    !insertmacro RemoveWorkFolders
    SetOutPath "$TEMP"
    ; Stays when it holds anything else (a Velto.db kept beside the program).
    RMDir "$INSTDIR"
    ; The shortcut and the entry belong to the latest install, which may be
    ; another folder's.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        Delete "$SMPROGRAMS\Velto.lnk"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd
