#pragma once
// Building object templates in code, for the tools that make the data set
// and for tests: one layer, groups in the order added (a group with a node
// has a game object), models naming their groups, and the whole template
// written through the current file writer in the template's file layout.
#include "level/object_template.h"

#include <memory>
#include <string>
#include <vector>

// Adds the template's one layer when it has none, else gives the first.
template_layer_c* TemplateLayer(object_template_c& _template, const char* _file_name = "model.lwo");
// Appends a group on the template's layer; with a node the group has a game
// object and owns the node.
template_group_c* AddTemplateGroup(object_template_c& _template, const std::string& _name,
                                   std::unique_ptr<null_object_c> _node);
// Appends a model showing the named groups; a name that matches no group
// throws std::invalid_argument naming it, so a typing slip cannot leave a
// model set silently empty.
template_model_c* AddTemplateModel(object_template_c& _template, const std::string& _name,
                                   const std::vector<std::string>& _groups);
// Serializes the template as _file_name (whole, through the current file
// writer).
void WriteTemplate(object_template_c& _template, const char* _file_name, renderer_c* _renderer);
