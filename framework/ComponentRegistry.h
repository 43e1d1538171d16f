#pragma once

#include <QString>
#include <functional>
#include <memory>

namespace framework
{

// The components outside the application proper (the directory service client, the launcher client) are
// found by class name when they are needed, so that an installation without one of them still runs: an
// absent component is simply not found. The application's own components are there from the start; tests
// take them away, or put stand-ins in their place, under the same names.
class ComponentRegistry
{
public:
    // What a factory makes; a component is used through the interface its name promises.
    class Component
    {
    public:
        virtual ~Component() = default;
    };
    using Factory = std::function<std::unique_ptr<Component>()>;

    ComponentRegistry() = delete;

    static void registerComponent(const QString &className, Factory factory);
    static void unregisterComponent(const QString &className);
    static bool isRegistered(const QString &className);
    // Puts the application's own components back under their names.
    static void registerBuiltInComponents();

    // A new component of that class, or none when no such class is installed.
    static std::unique_ptr<Component> create(const QString &className);

    // A new component of that class seen through Interface; none when the class is absent or does not
    // offer that interface.
    template <class Interface> static std::unique_ptr<Interface> create(const QString &className)
    {
        std::unique_ptr<Component> component = create(className);
        if (auto *wanted = dynamic_cast<Interface *>(component.get())) {
            component.release();
            return std::unique_ptr<Interface>(wanted);
        }
        return nullptr;
    }
};

} // namespace framework
