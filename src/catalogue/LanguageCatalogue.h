#pragma once

#include "model/Language.h"

#include <array>
#include <string>
#include <vector>

// The four text sets of the window, as data. Texts are UTF-8; the window turns
// them into its own strings, and what goes to files or the device is converted
// to Windows-1250 at that edge.
namespace qta::catalogue {

enum class TextRole { Caption, Hint };

// One text that a switch puts on a control, found by its object name.
struct ControlText {
    std::string control; // object name, e.g. "GroupBox_TS_IN3", "Label10032", "TNIN_V_3_17"
    TextRole role;
    std::string text;
};

// The program messages, read at the moment of use.
struct Messages {
    std::string msgDisconnected;
    std::string msgConnected;
    std::string msgNotConnected;
    std::string msgSending;
    std::string msgReading;
    std::string msgEnterAccess;
    std::string msgAccessLabel;
    std::string msgWrongAccess;
    std::string msgInProgress;
    std::string msgWaiting;
    // Opening a file that cannot be read, or that holds no configuration; "%s"
    // stands for the file's name.
    std::string msgCannotOpen;
    std::string msgNotConfiguration;
    // The device link's own messages. The button of the transfer dialog while a
    // transfer runs; why a transfer ended early; what that leaves behind, per kind.
    std::string msgCancel;
    std::string msgNoAnswer;
    std::string msgCancelled;
    std::string msgLinkLost;
    std::string msgNotAccepted;
    std::string msgBlocksMissing;
    std::string msgClockNotConfirmed;
    std::string msgEchoRefused; // "%1": how many times the block was sent
    std::string msgWriteIncomplete;
    std::string msgReadIncomplete;
    std::string msgLogIncomplete;
    std::string msgCodeNoAnswer;
    // "%1" the tty, "%2" its owner, "%3" its group.
    std::string msgPortPermission;
    // Why no device is found: said after msgPortPermission when the udev rule is
    // not installed; ModemManager probing the bridge; brltty taking it.
    std::string msgUdevRuleFix;
    std::string msgModemManager;
    std::string msgBrltty;
    std::string msgCloseDuringTransfer;
    // A write refused before its first byte: the new access code is one the device cannot take.
    std::string msgBadAccessCode;
    // A file refused for its size, and a save refused for a symbolic link another
    // user may have planted; "%s" stands for the file's name.
    std::string msgFileTooLarge;
    std::string msgUnsafeLink;
    // Unsaved changes: the question before Close, New and Open, with its three
    // buttons (the third is msgCancel), and the one before a Read replaces them.
    std::string msgUnsavedChanges;
    std::string msgSaveButton;
    std::string msgDiscardButton;
    std::string msgReplaceUnsaved;
    // The status bar after a completed transfer; "%1" is the time of day.
    std::string msgWrittenAt;
    std::string msgReadAt;
    std::string msgLogReadAt;
    // The transfer dialog's progress: "%1" the percentage, "%2" the time left (m:ss).
    std::string msgProgress;
    // The status bar with GPRS chosen: "%1" the port, "%2" the local addresses.
    std::string msgListening;
    // What a click on the link indicator does, per transport.
    std::string msgLampUsb;
    std::string msgLampGprs;
    // Warnings before a write: "%1" the field, "%2" its value or a count; then the question.
    std::string msgWarnAddress;
    std::string msgWarnPort;
    std::string msgWarnNumbers;
    std::string msgSendAnyway;
    // A --port tty that cannot be opened: "%1" the tty, "%2" why (the system's
    // reason, or one of the two that follow).
    std::string msgPortUnavailable;
    std::string msgPortInUse;
    std::string msgNotSerialPort;
    // The event log's printed header: "%1" the object codes, or the date printed.
    std::string msgPrintObject;
    std::string msgPrintDate;
    // The GPRS server listens for anyone (no listening address, no allowed
    // networks): said once when it starts. The window's setting of both: its
    // button, its dialog's title and fields, and a value that is neither ("%s").
    std::string msgGprsOpenToAll;
    std::string msgGprsAccess;
    std::string msgGprsListenAddress;
    std::string msgGprsAllowedNetworks;
    std::string msgGprsNotAnAddress;
};

struct PasswordCaption {
    std::string caption; // caption of `Heslo`
    std::string hint;
    int left = 0; // left edge in pixels
};

struct LanguageCatalogue {
    Language language = Language::EN;
    std::string code;  // "EN", "SK", "DE", "DK"
    std::string title; // window title
    // The sixteen menu items by object name ("Nov1", "Nov2", ..., "DE"), in the order they are set.
    std::vector<ControlText> menuCaptions;
    // The program's own menu items beyond those sixteen (Save As, recent files).
    std::vector<ControlText> ownMenuCaptions;
    PasswordCaption heslo;
    Messages messages;
    std::string apnHint; // hint of `editAPN`
    // Every caption and hint of the pages, groups, labels and fields, families
    // expanded member by member, in the order a switch sets them. Controls the
    // catalogue sets no text on (German NO_IN<i>/NC_IN<i> hints) are absent.
    std::vector<ControlText> controlTexts;
    // The 18 items of the reported-event choosers EventCodeIN<i>.
    std::array<std::string, 18> eventChoiceItems;
};

// Built once per language on first use.
const LanguageCatalogue& languageCatalogue(Language language);

// A fresh catalogue, built anew on every call (languageCatalogue keeps one of
// each); for measuring the cost of the first use.
LanguageCatalogue buildLanguageCatalogue(Language language);

// Every control name that controlTexts of any of the four catalogues refers
// to, each once, in the order of first appearance (SK, EN, DE, DK); lets the
// window check that it has a control for each.
std::vector<std::string> controlNamesWithTexts();

} // namespace qta::catalogue
