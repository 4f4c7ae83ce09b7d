#ifndef TESTS_HGR_FAKESCENE_H
#define TESTS_HGR_FAKESCENE_H

#include "support/FakeContext.h"

#include <hgr/Camera.h>
#include <hgr/Lines.h>
#include <hgr/Mesh.h>
#include <hgr/Node.h>
#include <lang/Ptr.h>

#include <string>
#include <vector>

// A tree for render-pass tests on the fake context: a root "scene" with a
// camera at the origin looking along +z (front 1, back 1000) and helpers that
// add meshes with one fake primitive each.
struct FakeScene {
	lang::Ptr<test::FakeContext> context;
	lang::Ptr<hgr::Node> root;
	hgr::Camera* camera;

	explicit FakeScene(int width = 640, int height = 480)
		: context(new test::FakeContext(width, height)), root(new hgr::Node) {
		root->setName("scene");
		camera = new hgr::Camera;
		camera->setName("camera");
		camera->setBack(1000.f);
		camera->linkTo(root);
	}

	// A mesh named name at position, under parent (the root by default), drawn
	// by one primitive labelled name with the shader of effect `effect`.
	hgr::Mesh* mesh(const std::string& name, const std::string& effect, const math::Vector3& position,
					hgr::Node* parent = nullptr, bool skinned = false) {
		hgr::Mesh* m = new hgr::Mesh;
		m->setName(name.c_str());
		m->setPosition(position);
		m->linkTo(parent ? parent : root.ptr());
		addPrimitive(m, name, effect, skinned);
		m->computeBoundBox();
		return m;
	}

	test::FakePrimitive* addPrimitive(hgr::Mesh* m, const std::string& label, const std::string& effect,
									  bool skinned = false) {
		lang::Ptr<gr::Shader> shader = context->createShader(effect.c_str(), 0);
		lang::Ptr<test::FakePrimitive> p =
			context->primitive(label, shader, math::Vector3(-1, -1, -1), math::Vector3(1, 1, 1), 1.7320508f, skinned);
		m->addPrimitive(p);
		return p.ptr();
	}

	void render() { camera->render(context); }

	// The labels of the primitives drawn, in order.
	std::vector<std::string> draws() const {
		std::vector<std::string> out;
		for (const std::string& s : context->log.containing(".render"))
			out.push_back(s.substr(0, s.size() - 7));
		return out;
	}
};

#endif
