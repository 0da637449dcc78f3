var searchData=
[
  ['scene_20graph_0',['Scene graph',['../group__scene.html',1,'']]],
  ['spatial_20queries_20and_20lighting_1',['Spatial queries and lighting',['../group__spatial.html',1,'']]]
];
