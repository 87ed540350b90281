#pragma once

// The program's modal message boxes. Logic reports through these functions;
// the windows install a presenter that shows real boxes, and tests install one
// that records the boxes and answers them.

#include <QString>
#include <cstddef>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

enum class MessageKind {
    Error,         // "Fehler", button OK
    Warning,       // "Warnung", button OK
    Information,   // "Information", button OK
    Confirmation,  // "Bestätigung", buttons "&Ja" and "&Nein"
    Plain,         // "Kavelo", button OK
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    // Shows one modal box with the text (line breaks already as "\n") and
    // returns true when a confirmation was answered with Yes.
    virtual bool present(MessageKind kind, const QString& title, const QString& text) = 0;
};

// Replaces the presenter and returns the one before; nullptr means no boxes
// at all (every confirmation then counts as No).
MessagePresenter* setMessagePresenter(MessagePresenter* presenter);

QString messageTitle(MessageKind kind);

// Shows a box of that kind; "\r" in the text starts a new line.
void showMessage(MessageKind kind, const QString& text);
// A confirmation box; true only for Yes.
bool confirm(const QString& text);
// The same box, shown from an event of its own once the handler that asks for
// it, and the calls of the web engine around that handler, have returned: a
// box inside the engine's hands would let its page go while it still runs.
void showMessageLater(MessageKind kind, const QString& text);

// Where nobody can answer a box (no display): each box is one line on
// standard error, its title and its text with the line breaks shown as " / ",
// answered at once with its default (OK, and No for a confirmation).
class StandardErrorPresenter : public MessagePresenter {
public:
    bool present(MessageKind kind, const QString& title, const QString& text) override;
};

// Runs step and shows what it throws in the error box: a std::exception with
// its text (UTF-8), anything else as "Unbekannter Fehler.".
void showingErrors(const std::function<void()>& step);
// The error box's text for the exception being handled; only inside a catch.
QString currentErrorText();

namespace handlerDetail {

template <typename Handler, typename Arguments, std::size_t... I>
constexpr bool takesLeading(std::index_sequence<I...>)
{
    return std::is_invocable_v<Handler&, std::tuple_element_t<I, Arguments>...>;
}

template <typename Handler, typename Arguments, std::size_t... I>
void callWith(Handler& handler, Arguments& arguments, std::index_sequence<I...>)
{
    std::invoke(handler, std::get<I>(arguments)...);
}

// Calls handler with as many of the leading arguments as it takes, as Qt
// calls a slot that takes fewer arguments than its signal carries.
template <typename Handler, typename Arguments, std::size_t N = std::tuple_size_v<Arguments>>
void callWithLeading(Handler& handler, Arguments& arguments)
{
    if constexpr (takesLeading<Handler, Arguments>(std::make_index_sequence<N>{})) {
        callWith(handler, arguments, std::make_index_sequence<N>{});
    } else {
        static_assert(N > 0, "the handler takes none of the signal's leading arguments");
        if constexpr (N > 0)
            callWithLeading<Handler, Arguments, N - 1>(handler, arguments);
    }
}

}  // namespace handlerDetail

// A handler for connect() that shows what handler throws in the error box
// (see showingErrors), so that no exception crosses Qt's signal dispatch,
// which leaves that undefined. It passes on the leading arguments of the
// signal that handler takes.
template <typename Handler>
auto showingErrorsIn(Handler handler)
{
    return [handler = std::move(handler)](auto&&... arguments) mutable -> void {
        auto passed = std::forward_as_tuple(arguments...);
        showingErrors([&] { handlerDetail::callWithLeading(handler, passed); });
    };
}

// The same for a member function of object.
template <typename Object, typename Method>
requires std::is_member_function_pointer_v<Method>
auto showingErrorsIn(Object* object, Method method)
{
    return showingErrorsIn(std::bind_front(method, object));
}

// The same for handlers of the web engine's signals: the error box comes
// later (showMessageLater), outside the engine's call.
template <typename Object, typename Method>
requires std::is_member_function_pointer_v<Method>
auto showingErrorsLaterIn(Object* object, Method method)
{
    return [handler = std::bind_front(method, object)](auto&&... arguments) mutable -> void {
        auto passed = std::forward_as_tuple(arguments...);
        try {
            handlerDetail::callWithLeading(handler, passed);
        } catch (...) {
            showMessageLater(MessageKind::Error, currentErrorText());
        }
    };
}
