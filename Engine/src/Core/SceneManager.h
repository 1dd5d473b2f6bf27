#pragma once

#include "Core/Scene.h"

#include <optional>
#include <string>
#include <unordered_map>

// Named scenes and the two slots the frame loop runs: the current scene first, the global one after it.
class SceneManager {
public:
    // Stores a copy under the name; a name already present keeps its first scene.
    void addScene(const std::string& name, const Scene& scene);
    // Throws std::out_of_range for a name never added.
    Scene& scene(const std::string& name);
    // Copies the named scene into the current slot; throws std::out_of_range for an unknown name.
    void setCurrentScene(const std::string& name);
    void setGlobalScene(const Scene& scene);

    std::optional<Scene>& currentScene() { return currentScene_; }
    std::optional<Scene>& globalScene() { return globalScene_; }

private:
    std::unordered_map<std::string, Scene> scenes_;
    std::optional<Scene> currentScene_;
    std::optional<Scene> globalScene_;
};
