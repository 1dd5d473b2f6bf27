#include "Core/SceneManager.h"

void SceneManager::addScene(const std::string& name, const Scene& scene) { scenes_.try_emplace(name, scene); }

Scene& SceneManager::scene(const std::string& name) { return scenes_.at(name); }

void SceneManager::setCurrentScene(const std::string& name)
{
    // at() throws before the slot is touched, so an unknown name leaves it as it was.
    currentScene_ = scenes_.at(name);
}

void SceneManager::setGlobalScene(const Scene& scene) { globalScene_ = scene; }
