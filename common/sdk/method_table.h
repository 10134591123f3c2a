#pragma once

#include <string>
#include <type_traits>

// The helpers that expand a method table of the client interface (device_methods.h,
// manager_methods.h). A table is a macro TABLE(X) that calls X(Name, params...) once per method in
// slot order, with one (direction, type, name) triple per parameter. The direction is `in` (passed
// by value, or by reference to const for a class), `out` (a reference the method sets) or `outp`
// (a pointer the method sets through, for the objects a method hands out).
namespace qm::sdk {

// How an in parameter of type T is passed: classes by reference to const, the rest by value.
template <typename T>
using InParam = std::conditional_t<std::is_class_v<T>, const T&, T>;

}  // namespace qm::sdk

// Expansion helpers for the table: QM_PARAMETERS(params...) is a method's parameter list,
// QM_PARAMETER_TYPES the same without the names, QM_ARGUMENTS(params...) its names as a call's
// arguments, QM_MARKED(params...) its names wrapped as inArg(name) / outArg(name), QM_IN_NAMES and
// QM_OUT_NAMES string literals of the in or out names, each followed by a comma.
#define QM_PARENS ()
#define QM_EXPAND(...) QM_EXPAND3(QM_EXPAND3(QM_EXPAND3(QM_EXPAND3(__VA_ARGS__))))
#define QM_EXPAND3(...) QM_EXPAND2(QM_EXPAND2(QM_EXPAND2(QM_EXPAND2(__VA_ARGS__))))
#define QM_EXPAND2(...) QM_EXPAND1(QM_EXPAND1(QM_EXPAND1(QM_EXPAND1(__VA_ARGS__))))
#define QM_EXPAND1(...) __VA_ARGS__

// F(a) for each argument, separated by commas.
#define QM_FOR_EACH_LISTED(F, ...) __VA_OPT__(QM_EXPAND(QM_LISTED_STEP(F, __VA_ARGS__)))
#define QM_LISTED_STEP(F, a, ...) F a __VA_OPT__(, QM_LISTED_AGAIN QM_PARENS(F, __VA_ARGS__))
#define QM_LISTED_AGAIN() QM_LISTED_STEP
// F(a) for each argument, one after the other.
#define QM_FOR_EACH(F, ...) __VA_OPT__(QM_EXPAND(QM_EACH_STEP(F, __VA_ARGS__)))
#define QM_EACH_STEP(F, a, ...) F a __VA_OPT__(QM_EACH_AGAIN QM_PARENS(F, __VA_ARGS__))
#define QM_EACH_AGAIN() QM_EACH_STEP

#define QM_PARAMETER(dir, type, name) QM_PARAMETER_##dir(type, name)
#define QM_PARAMETER_in(type, name) ::qm::sdk::InParam<type> name
#define QM_PARAMETER_out(type, name) type& name
#define QM_PARAMETER_outp(type, name) type* name
#define QM_PARAMETER_TYPE(dir, type, name) QM_PARAMETER_TYPE_##dir(type)
#define QM_PARAMETER_TYPE_in(type) ::qm::sdk::InParam<type>
#define QM_PARAMETER_TYPE_out(type) type&
#define QM_PARAMETER_TYPE_outp(type) type*
#define QM_ARGUMENT(dir, type, name) name
#define QM_MARK(dir, type, name) dir##Arg(name)
#define QM_IN_NAME(dir, type, name) QM_IN_NAME_##dir(name)
#define QM_IN_NAME_in(name) #name,
#define QM_IN_NAME_out(name)
#define QM_IN_NAME_outp(name)
#define QM_OUT_NAME(dir, type, name) QM_OUT_NAME_##dir(name)
#define QM_OUT_NAME_in(name)
#define QM_OUT_NAME_out(name) #name,
#define QM_OUT_NAME_outp(name) #name,

#define QM_PARAMETERS(...) QM_FOR_EACH_LISTED(QM_PARAMETER, __VA_ARGS__)
#define QM_PARAMETER_TYPES(...) QM_FOR_EACH_LISTED(QM_PARAMETER_TYPE, __VA_ARGS__)
#define QM_ARGUMENTS(...) QM_FOR_EACH_LISTED(QM_ARGUMENT, __VA_ARGS__)
#define QM_MARKED(...) QM_FOR_EACH_LISTED(QM_MARK, __VA_ARGS__)
#define QM_IN_NAMES(...) QM_FOR_EACH(QM_IN_NAME, __VA_ARGS__)
#define QM_OUT_NAMES(...) QM_FOR_EACH(QM_OUT_NAME, __VA_ARGS__)
