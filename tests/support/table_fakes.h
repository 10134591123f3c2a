#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/sdk/interfaces.h"

// Bases of the tests' stand-ins for the client interface, made from its method tables: a fake
// derives from them and writes only the behaviour it needs, so a new method needs no change in
// any fake.
namespace qm::sdk::testing {

// One call of a device method as its table line describes it.
struct DeviceCall {
    using In = std::variant<int, std::string>;  // bytes and numbers as int
    struct Out {
        std::string_view name;
        std::variant<unsigned char*, int*, std::string*> value;
    };
    struct Style {
        std::string_view separator = ", ";
        bool quoteStrings = false;
        bool parensWhenEmpty = true;
    };

    std::string_view method;
    std::vector<In> ins;
    std::vector<Out> outs;

    // The call as text, "Set_EQ_GAIN(3, 200)".
    std::string text(Style style) const {
        std::string out(method);
        if (ins.empty() && !style.parensWhenEmpty) {
            return out;
        }
        out += '(';
        for (std::size_t i = 0; i < ins.size(); ++i) {
            if (i > 0) {
                out += style.separator;
            }
            if (const int* number = std::get_if<int>(&ins[i])) {
                out += std::to_string(*number);
            } else if (style.quoteStrings) {
                out += '"' + std::get<std::string>(ins[i]) + '"';
            } else {
                out += std::get<std::string>(ins[i]);
            }
        }
        return out + ')';
    }
    std::string text() const { return text(Style{}); }
    const std::string& inText(std::size_t i) const { return std::get<std::string>(ins.at(i)); }
};

// A microphone whose every method hands its call to answer(). A fake may still override a method
// of its own.
class TableDevice : public IQMDevice {
  public:
#define QM_TABLE_DEVICE_IN(dir, type, name) QM_TABLE_DEVICE_IN_##dir(name)
#define QM_TABLE_DEVICE_IN_in(name) DeviceCall::In(name),
#define QM_TABLE_DEVICE_IN_out(name)
#define QM_TABLE_DEVICE_OUT(dir, type, name) QM_TABLE_DEVICE_OUT_##dir(name)
#define QM_TABLE_DEVICE_OUT_in(name)
#define QM_TABLE_DEVICE_OUT_out(name) DeviceCall::Out{#name, &name},
#define QM_TABLE_DEVICE_METHOD(Name, ...)                                 \
    HRESULT Name(QM_PARAMETERS(__VA_ARGS__)) override {                   \
        DeviceCall call{#Name,                                            \
                        {QM_FOR_EACH(QM_TABLE_DEVICE_IN, __VA_ARGS__)},   \
                        {QM_FOR_EACH(QM_TABLE_DEVICE_OUT, __VA_ARGS__)}}; \
        return answer(call);                                              \
    }
    QM_DEVICE_METHODS(QM_TABLE_DEVICE_METHOD)
#undef QM_TABLE_DEVICE_METHOD
#undef QM_TABLE_DEVICE_OUT_out
#undef QM_TABLE_DEVICE_OUT_in
#undef QM_TABLE_DEVICE_OUT
#undef QM_TABLE_DEVICE_IN_out
#undef QM_TABLE_DEVICE_IN_in
#undef QM_TABLE_DEVICE_IN

  protected:
    virtual HRESULT answer(DeviceCall& call) = 0;
};

// A device manager whose every method answers E_NOTIMPL until a fake overrides it.
class ManagerDefaults : public IQuillmereSDK {
  public:
#define QM_MANAGER_DEFAULT(Name, ...)                        \
    HRESULT Name(QM_PARAMETER_TYPES(__VA_ARGS__)) override { \
        return E_NOTIMPL;                                    \
    }
    QM_MANAGER_METHODS(QM_MANAGER_DEFAULT, QM_MANAGER_DEFAULT)
#undef QM_MANAGER_DEFAULT
};

}  // namespace qm::sdk::testing
