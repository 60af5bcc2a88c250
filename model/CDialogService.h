#pragma once

#include <cstdint>
#include <string>

class CComponent;
class CWevraDoc;

// The modal dialogs that model tools open, reduced to the plain values they are filled with
// and give back. The editor installs an implementation built on its Qt dialogs; tests install a
// scripted one. Each method returns the dialog's result (1 for OK, IDCANCEL = 2 for Cancel, or
// the id of another button that ends it) and edits its in/out values only on OK. Without an
// installed service every dialog answers Cancel.
class CDialogService {
public:
    static constexpr int32_t resultOk = 1;
    static constexpr int32_t resultCancel = 2;

    virtual ~CDialogService() = default;

    // The installed service, or the one that cancels everything.
    static CDialogService& Get();
    // Installs a service (not owned); nullptr reinstalls the cancelling default. Returns the
    // service installed before (nullptr for the default).
    static CDialogService* Set(CDialogService* service);

    // "Add Net": `name` holds the proposed unique net name and returns the one typed.
    virtual int32_t NetAdd(std::string& name);
    // "Component Properties": edits the component's names, part fields, group, cluster and flag
    // bits (each lock shown inverted, as "Enabled for Editing").
    virtual int32_t CompProperties(CComponent& component);
    // "New PCB Design": OK lets the new design be made; it may read a template design into the
    // document (with the document's template flag set around the read).
    virtual int32_t NewPcb(CWevraDoc& document);
};
