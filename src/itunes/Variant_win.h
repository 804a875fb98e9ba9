#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>

// Owns one VARIANT and clears it when it goes.
class Variant {
public:
    Variant() { VariantInit(&value); }
    explicit Variant(int number) : Variant() {
        value.vt = VT_I4;
        value.lVal = number;
    }
    explicit Variant(const std::wstring& text) : Variant() {
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    // An out argument of a call: the call writes a number into target.
    static Variant outInt(LONG& target) {
        Variant reference;
        reference.value.vt = VT_BYREF | VT_I4;
        reference.value.plVal = &target;
        return reference;
    }
    // Takes over a value that a call filled in, and leaves that one empty.
    static Variant take(VARIANT& filled) {
        Variant owner;
        owner.value = filled;
        VariantInit(&filled);
        return owner;
    }
    Variant(Variant&& other) noexcept : value(other.value) { VariantInit(&other.value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant& operator=(Variant&&) = delete;
    ~Variant() { VariantClear(&value); }

    // Clears the value and lends it to a call that fills it.
    VARIANT* put() {
        VariantClear(&value);
        return &value;
    }
    VARIANT* get() { return &value; }
    const VARIANT& operator*() const { return value; }
    VARTYPE type() const { return value.vt; }

private:
    VARIANT value;
};
